// The printed pattern as a stitcher and a pattern-reading app see it: the symbol set's shapes,
// the ink on each thread colour, and the chart's symbols read back from the PDF's text.
#include "document/key.h"
#include "document/patternpdf.h"
#include "document/stitchgrid.h"
#include "document/symbols.h"
#include "threads/threadtable.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace trameda;
using namespace trameda::document;

namespace {

// A glyph as a tired eye sees it on the chart: its ink scaled to 80 % of a 32-pixel cell (so
// that O and o look alike), blurred twice over 3 x 3 pixels (the strokes that tell E from F fade
// first).
constexpr int kSide = 32;
using Shape = std::vector<float>;

QFont symbolFont(int pixels) {
    QFont f(symbolFontFamily());
    f.setStyleStrategy(QFont::NoFontMerging);
    f.setPixelSize(pixels);
    return f;
}

Shape shapeOf(const QString& glyph) {
    QImage drawn(kSide * 2, kSide * 2, QImage::Format_Grayscale8);
    drawn.fill(255);
    QPainter painter(&drawn);
    painter.setFont(symbolFont(kSide));
    painter.drawText(QPointF(kSide / 2.0, kSide * 1.4), glyph);
    painter.end();
    QRect ink;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            ink |= qGray(drawn.pixel(x, y)) < 128 ? QRect(x, y, 1, 1) : QRect();
    QImage cell(kSide, kSide, QImage::Format_Grayscale8);
    cell.fill(255);
    painter.begin(&cell);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QRectF target(QPointF(),
                  QSizeF(ink.size()) * (0.8 * kSide / std::max(ink.width(), ink.height())));
    target.moveCenter(QPointF(kSide / 2.0, kSide / 2.0));
    painter.drawImage(target, drawn, ink);
    painter.end();
    Shape shape(kSide * kSide);
    const auto at = [](int x, int y) { return std::size_t(y * kSide + x); };
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            shape[at(x, y)] = float(255 - qGray(cell.pixel(x, y))) / 255;
    for (int pass = 0; pass < 2; ++pass) {
        Shape blurred(shape.size());
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const int x0 = std::max(x - 1, 0), x1 = std::min(x + 1, kSide - 1);
                const int y0 = std::max(y - 1, 0), y1 = std::min(y + 1, kSide - 1);
                for (int v = y0; v <= y1; ++v)
                    for (int u = x0; u <= x1; ++u)
                        blurred[at(x, y)] += shape[at(u, v)] / float((x1 - x0 + 1) * (y1 - y0 + 1));
            }
        shape = blurred;
    }
    return shape;
}

// How far apart two glyphs look: the ink that differs as a share of all the ink of either, the
// least over the eight mirrorings and quarter turns of the second, since a mirrored shape (b
// and d, a triangle up and down) is as easily mistaken as a like one.
double distance(const Shape& a, const Shape& b) {
    double least = 1;
    for (int turn = 0; turn < 8; ++turn) {
        double differs = 0;
        double either = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                int bx = turn & 1 ? kSide - 1 - x : x;
                int by = turn & 2 ? kSide - 1 - y : y;
                if (turn & 4)
                    std::swap(bx, by);
                const float p = a[std::size_t(y * kSide + x)];
                const float q = b[std::size_t(by * kSide + bx)];
                differs += std::abs(p - q);
                either += std::max(p, q);
            }
        least = std::min(least, differs / either);
    }
    return least;
}

// The pairs stitchers mistake (confusableShapesMeasureClose) measure from 0.01 (half discs
// mirrored) to 0.36 (a disc and a ringed disc); the chosen symbols must be further apart than
// that. The closest two of them measure 0.39 (a bow tie and a saltire).
constexpr double kApart = 0.38;

// Text of pages `first` to `last` (0: to the end) as pdftotext lays it out, or a null string.
QString pdfText(const QString& path, int first, int last) {
    QStringList arguments{QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(first)};
    if (last > 0)
        arguments += {QStringLiteral("-l"), QString::number(last)};
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments + QStringList{path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A chart of `threads` threads, numbered out of shop order: "Blanc", "B5200", then 10 x the
// threads left down to 20, so that text and number order differ. Every entry is on the first
// row; holes, unstitched, further down.
struct Sample {
    explicit Sample(int threads) : grid(60, 4) {
        QByteArray csv = "number,name,red,green,blue\n";
        for (int i = 0; i < threads; ++i) {
            const QColor colour = QColor::fromHsv(i * 360 / threads, 200, 100 + (i % 3) * 70);
            const QByteArray number = i == 0   ? "B5200"
                                      : i == 1 ? "Blanc"
                                               : QByteArray::number(10 * (threads - i + 1));
            csv += number + ",Filo " + QByteArray::number(i) + "," +
                   QByteArray::number(colour.red()) + "," + QByteArray::number(colour.green()) +
                   "," + QByteArray::number(colour.blue()) + "\n";
            colours.push_back(RGB(colour.red(), colour.green(), colour.blue()));
            matches.push_back({i, 0.0});
        }
        table = threads::ThreadTable::fromCsv(csv);
        for (int r = 0; r < grid.rows(); ++r)
            for (int c = 0; c < grid.columns(); ++c)
                grid.set(c, r, (c * r) % 11 == 5 ? -1 : (c + 7 * r) % threads);
    }

    // The pattern as a PDF in `dir`, as `adjust` sets it; its path, or empty when not written.
    template <typename Adjust>
    QString write(const QTemporaryDir& dir, Adjust&& adjust, KeySettings settings = {}) const {
        const Key key = makeKey(colours, matches, grid, settings);
        Pattern pattern{QStringLiteral("prova"), grid, colours, key, table, settings, Paper::A4};
        adjust(pattern);
        const QString path = dir.filePath(QStringLiteral("schema.pdf"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !writePatternPdf(file, pattern))
            return {};
        return path;
    }

    threads::ThreadTable table;
    std::vector<Colour> colours;
    std::vector<threads::ThreadMatch> matches;
    StitchGrid grid;
};

} // namespace

class TestPages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void confusableShapesMeasureClose_data();
    void confusableShapesMeasureClose();
    void symbolsStandApart();
    void inkStandsOut_data();
    void inkStandsOut();
    void symbolsReadBack_data();
    void symbolsReadBack();
    void wordsOnThePages_data();
    void wordsOnThePages();

private:
    QTemporaryDir m_dir;
};

void TestPages::confusableShapesMeasureClose_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    for (const char* pair :
         {"E F", "C G", "b d", "p q", "6 9", "O o", "● ◉", "○ ◎", "■ ▣", "▲ ▼", "◐ ◑"}) {
        const QStringList glyphs = QString::fromUtf8(pair).split(u' ');
        QTest::newRow(pair) << glyphs[0] << glyphs[1];
    }
}

// The measure catches what the eye confuses: otherwise a set that passes it proves nothing.
void TestPages::confusableShapesMeasureClose() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    const double d = distance(shapeOf(first), shapeOf(second));
    QVERIFY2(d < kApart, qPrintable(QString::number(d)));
}

void TestPages::symbolsStandApart() {
    const std::vector<QString>& symbols = distinctSymbols();
    QVERIFY(symbols.size() >= 60);
    const QRawFont font = QRawFont::fromFont(symbolFont(100));
    QCOMPARE(font.familyName(), symbolFontFamily());
    std::vector<Shape> shapes;
    for (const QString& symbol : symbols) {
        QCOMPARE(symbol.toUcs4().size(), 1);
        QVERIFY2(font.supportsCharacter(symbol.toUcs4().front()), qPrintable(symbol));
        // No bars: a shape at least 0.4 as wide as it is tall, and the other way round.
        const QRectF ink = QFontMetricsF(symbolFont(100)).tightBoundingRect(symbol);
        QVERIFY2(std::min(ink.width(), ink.height()) >= 0.4 * std::max(ink.width(), ink.height()),
                 qPrintable(symbol));
        shapes.push_back(shapeOf(symbol));
    }
    for (std::size_t i = 0; i < shapes.size(); ++i)
        for (std::size_t j = i + 1; j < shapes.size(); ++j) {
            const double d = distance(shapes[i], shapes[j]);
            QVERIFY2(d >= kApart,
                     qPrintable(QStringLiteral("%1 %2: %3").arg(symbols[i], symbols[j]).arg(d)));
        }
}

void TestPages::inkStandsOut_data() {
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<QColor>("ink");
    // Where black and white stand out about equally, either gives 4.58 at least.
    QTest::newRow("middle grey") << QColor(0x75, 0x75, 0x75) << QColor(Qt::white);
    QTest::newRow("a shade lighter") << QColor(0x76, 0x76, 0x76) << QColor(Qt::black);
    QTest::newRow("pure red") << QColor(Qt::red) << QColor(Qt::black);
    QTest::newRow("pure blue") << QColor(Qt::blue) << QColor(Qt::white);
}

void TestPages::inkStandsOut() {
    QFETCH(QColor, fill);
    QFETCH(QColor, ink);
    QCOMPARE(inkOn(fill), ink);
    QVERIFY(contrastRatio(fill, inkOn(fill)) >= 4.5);
}

void TestPages::symbolsReadBack_data() {
    QTest::addColumn<int>("threads");
    QTest::addColumn<SymbolSet>("set");
    QTest::addColumn<bool>("blackAndWhite");
    QTest::addColumn<QString>("marks"); // the marks the chart must use, in key order
    QTest::newRow("four threads, shapes")
        << 4 << SymbolSet::Distinct << false << QStringLiteral("●▲★✚");
    // Letters follow the palette entries, whatever the key's order.
    QTest::newRow("four threads, letters, black and white")
        << 4 << SymbolSet::Letters << true << QStringLiteral("BADC");
    QTest::newRow("sixty threads") << 60 << SymbolSet::Distinct << false << QString();
    QTest::newRow("sixty threads, letters give way to shapes")
        << 60 << SymbolSet::Letters << true << QString();
}

// A chart whose cells name known threads, written as a PDF: the key page gives each thread's
// symbol, and every stitched cell of the chart page must hold its thread's symbol, one glyph a
// cell, and an unstitched cell none.
void TestPages::symbolsReadBack() {
    QFETCH(int, threads);
    QFETCH(SymbolSet, set);
    QFETCH(bool, blackAndWhite);
    QFETCH(QString, marks);

    const Sample sample(threads);
    const QString path = sample.write(m_dir, [&](Pattern& pattern) {
        pattern.cell = 2.5; // the chart on one page
        pattern.symbols = set;
        pattern.blackAndWhite = blackAndWhite;
    });
    QVERIFY(!path.isEmpty());
    const StitchGrid& grid = sample.grid;
    const threads::ThreadTable& table = sample.table;

    // The key, on the pages after the chart: a row per thread, its symbol first, in shop order.
    const QString keyText = pdfText(path, 3, 0);
    QVERIFY2(!keyText.isNull(), "pdftotext (poppler-utils) is needed");
    QMap<QString, QString> symbolOf; // thread number -> symbol
    QString order;
    QStringList numbers;
    const QRegularExpression row(QStringLiteral("^\\s*(\\S+)\\s+DMC (\\S+)"),
                                 QRegularExpression::MultilineOption);
    for (const auto& match : row.globalMatch(keyText)) {
        QCOMPARE(match.captured(1).toUcs4().size(), 1);
        QVERIFY2(!symbolOf.values().contains(match.captured(1)), qPrintable(match.captured(1)));
        symbolOf[match.captured(2)] = match.captured(1);
        order += match.captured(1);
        numbers += match.captured(2);
    }
    QCOMPARE(int(symbolOf.size()), threads);
    QStringList shopOrder{QStringLiteral("Blanc"), QStringLiteral("B5200")};
    for (int n = 20; n <= 10 * threads; n += 10)
        shopOrder += QString::number(n);
    QCOMPARE(numbers, shopOrder.mid(0, threads));
    if (!marks.isEmpty())
        QCOMPARE(order, marks);

    // The chart: the rows of symbols, blanks skipped, as the grid and the key say.
    QStringList expected;
    for (int r = 0; r < grid.rows(); ++r) {
        QString line;
        for (int c = 0; c < grid.columns(); ++c)
            if (const int entry = grid.at(c, r); entry >= 0)
                line += symbolOf.value(table.at(entry).number);
        expected += line;
    }
    QStringList found;
    for (QString line : pdfText(path, 2, 2).split(u'\n')) {
        line.remove(u' ');
        const QList<uint> glyphs = line.toUcs4();
        if (!line.isEmpty() && std::all_of(glyphs.begin(), glyphs.end(),
                                           [&](uint g) { return order.toUcs4().contains(g); }))
            found += line;
    }
    QCOMPARE(found, expected);
}

void TestPages::wordsOnThePages_data() {
    QTest::addColumn<int>("threads");
    QTest::addColumn<KeySettings>("settings");
    QTest::addColumn<QStringList>("phrases");
    QTest::newRow("one thread, one strand")
        << 1 << KeySettings{14, 1, 1, 20}
        << QStringList{"1 colore, 1 filo DMC, a 1 capo", "Tela: Aida 14 (14 punti per pollice)",
                       "Totale: 1 colore, 1 filo",       "= 13,14 mm per punto",
                       "Metri = punti × 13,14 mm",       "di filo a 1 capo",
                       "Matasse = metri × 1,2 ÷ 48",     "il 20 % in più"};
    // Linen 28 over two is 14 stitches to the inch: 60 x 4 stitches are 10.9 x 0.7 cm.
    QTest::newRow("linen over two, no margin")
        << 4 << KeySettings{28, 2, 2, 0}
        << QStringList{"4 colori, 4 fili DMC, a 2 capi",
                       "Tela: lino 28 fili, su due fili (14 punti per pollice)",
                       "Misura finita: 10,9 × 0,7 cm",
                       "Su lino 28 fili, su due fili",
                       "= 13,14 mm per punto",
                       "Matasse = metri ÷ 24",
                       "senza margine per gli errori",
                       "Schema: 1 pagina (a pagina 2)"};
}

// The cover and the key say what they count in good Italian, and the thread reckoning in
// figures that redo by hand.
void TestPages::wordsOnThePages() {
    QFETCH(int, threads);
    QFETCH(KeySettings, settings);
    QFETCH(QStringList, phrases);
    const QString path = Sample(threads).write(
        m_dir, [](Pattern&) {}, settings);
    QVERIFY(!path.isEmpty());
    const QString text = pdfText(path, 1, 0).simplified();
    QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) is needed");
    for (const QString& phrase : phrases)
        QVERIFY2(text.contains(phrase), qPrintable(phrase));
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
