// The palette's pieces without the window: the colour chart, the automatic palette and the
// palette file format.
#include "palette/autopalette.h"
#include "palette/colfile.h"
#include "palette/colourchart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace trameda;
using namespace trameda::palette;
using Error = ColFileRead::Error;

namespace {

constexpr Colour kWhite = 0xFFFFFF;

// Samples as a loaded picture gives them: the far edge at 200 lies outside the image.
Sampler picture(std::function<Colour(int x, int y)> colourAt) {
    return [colourAt](double x, double y) {
        return x >= 200 || y >= 200 ? NoColour : colourAt(int(x), int(y));
    };
}

Colours startUpPalette() {
    Colours c{};
    for (int i = 0; i < 16; ++i)
        c[std::size_t(i)] = QBColor(i);
    return c;
}

QByteArray lines(const QList<QByteArray>& fields) {
    return fields.join("\r\n") + "\r\n";
}

} // namespace

class TestPalette : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chartCells_data();
    void chartCells();
    void chartLines();
    void autoPaletteOneColour_data();
    void autoPaletteOneColour();
    void autoPaletteBlackBin();
    void autoPaletteNeedsMoreThan100Samples();
    void autoPaletteOrder_data();
    void autoPaletteOrder();
    void autoPaletteAtMost15();
    void writesTheStartUpPalette();
    void reads_data();
    void reads();
    void readingIsBounded();
    void failuresSayWhy_data();
    void failuresSayWhy();
};

void TestPalette::chartCells_data() {
    QTest::addColumn<QRect>("cell");
    QTest::addColumn<QRgb>("rgb");
    const auto left = [](int column, int row) {
        return QRect(9 + 14 * column, 8 + 14 * row, 12, 12);
    };
    const auto right = [](int column, int row) {
        return QRect(337 + 17 * column, 42 + 17 * row, 14, 14);
    };
    QTest::newRow("block, column 7 row 8") << left(7, 8) << QRgb(0x3098cf);
    QTest::newRow("block corner") << left(0, 0) << QRgb(0xffffff);
    QTest::newRow("last block cell") << left(17, 11) << QRgb(0x000000);
    QTest::newRow("upper right block") << left(14, 1) << QRgb(0x9fcf9f);
    QTest::newRow("grey") << left(18, 4) << QRgb(0xafa8af);
    QTest::newRow("red ramp") << left(19, 2) << QRgb(0xef0000);
    QTest::newRow("green ramp") << left(20, 4) << QRgb(0x00b800);
    QTest::newRow("blue ramp") << left(21, 11) << QRgb(0x000010);
    QTest::newRow("grey area") << QRect(280, 13, 30, 16) << QRgb(0xc0c0c0);
    QTest::newRow("swatch row 2") << right(1, 2) << QRgb(0xff0000);
    QTest::newRow("swatch row 5") << right(2, 5) << QRgb(0x7f3f3f);
    QTest::newRow("swatch row 6") << right(1, 6) << QRgb(0xefe7df);
    QTest::newRow("last swatch") << right(7, 7) << QRgb(0xffffff);
}

void TestPalette::chartCells() {
    QFETCH(QRect, cell);
    QFETCH(QRgb, rgb);
    const QImage chart = colourChart();
    QCOMPARE(chart.size(), QSize(484, 181));
    // Every pixel of the cell, so that a cell shifted by one shows.
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            QCOMPARE(chart.pixel(x, y) & 0xffffff, rgb);
}

void TestPalette::chartLines() {
    const QImage chart = colourChart();
    QCOMPARE(chart.pixel(21, 30) & 0xffffff, 0u); // between columns 0 and 1
    QCOMPARE(chart.pixel(30, 21) & 0xffffff, 0u); // between rows 0 and 1
    QCOMPARE(chart.pixel(351, 50) & 0xffffff, 0u);
    QCOMPARE(chart.pixel(352, 50) & 0xffffff, 0x7f7f7fu);
    QCOMPARE(chart.pixel(353, 50) & 0xffffff, 0u);
}

void TestPalette::autoPaletteOneColour_data() {
    QTest::addColumn<Colour>("colour");
    QTest::addColumn<bool>("many");
    QTest::addColumn<bool>("pastel");
    QTest::addColumn<Colour>("expected");
    const Colour c = RGB(10, 200, 30);
    QTest::newRow("exact") << c << false << false << c;
    QTest::newRow("exact, 4 levels") << c << true << false << c;
    QTest::newRow("pastel") << c << false << true << RGB(85, 255, 85);
    QTest::newRow("pastel, 4 levels") << c << true << true << RGB(64, 255, 64);
    QTest::newRow("pastel, 4 levels, middle")
        << RGB(100, 130, 191) << true << true << RGB(128, 191, 191);
}

void TestPalette::autoPaletteOneColour() {
    QFETCH(Colour, colour);
    QFETCH(bool, many);
    QFETCH(bool, pastel);
    QFETCH(Colour, expected);
    const AutoPalette p = autoPalette(picture([=](int, int) { return colour; }), {many, pastel});
    QCOMPARE(p.count, 1);
    QCOMPARE(p.swatches[0], expected);
    for (std::size_t i = 1; i < 16; ++i)
        QCOMPARE(p.swatches[i], kWhite);
}

void TestPalette::autoPaletteBlackBin() {
    // Dark grey with black scanned last: the bin's colour is black and it is passed over.
    const auto darkThenBlack = picture([](int x, int) { return x < 100 ? RGB(20, 20, 20) : 0; });
    QCOMPARE(autoPalette(darkThenBlack, {false, false}).count, 0);
    const AutoPalette pastel = autoPalette(darkThenBlack, {false, true});
    QCOMPARE(pastel.count, 1);
    QCOMPARE(pastel.swatches[0], RGB(85, 85, 85));
    QCOMPARE(autoPalette(darkThenBlack, {true, true}).swatches[0], RGB(64, 64, 64));
    // Black first and dark grey last: the bin keeps the grey.
    const auto blackThenDark = picture([](int x, int) { return x < 100 ? 0 : RGB(20, 20, 20); });
    QCOMPARE(autoPalette(blackThenDark, {false, false}).swatches[0], RGB(20, 20, 20));
}

void TestPalette::autoPaletteNeedsMoreThan100Samples() {
    for (const int samples : {100, 101}) {
        const AutoPalette p = autoPalette(
            [samples](double x, double y) { return x * 201 + y < samples ? RGB(200, 0, 0) : -1; },
            {false, false});
        QCOMPARE(p.count, samples > 100 ? 1 : 0);
        QCOMPARE(p.swatches[0], samples > 100 ? RGB(200, 0, 0) : kWhite);
    }
}

void TestPalette::autoPaletteOrder_data() {
    QTest::addColumn<int>("split"); // columns before it are `first`, the rest `second`
    QTest::addColumn<Colour>("first");
    QTest::addColumn<Colour>("second");
    QTest::addColumn<bool>("many");
    QTest::addColumn<QList<Colour>>("expected");
    const Colour red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    QTest::newRow("tie: lower red level first")
        << 100 << red << blue << false << QList<Colour>{blue, red};
    QTest::newRow("tie: lower green level first")
        << 100 << green << blue << false << QList<Colour>{blue, green};
    QTest::newRow("larger count first") << 150 << red << blue << false << QList<Colour>{red, blue};
    QTest::newRow("63 and 64 share a bin at 3 levels")
        << 100 << RGB(63, 9, 9) << RGB(64, 9, 9) << false << QList<Colour>{RGB(64, 9, 9)};
    QTest::newRow("63 and 64 part at 4 levels") << 100 << RGB(63, 9, 9) << RGB(64, 9, 9) << true
                                                << QList<Colour>{RGB(63, 9, 9), RGB(64, 9, 9)};
}

void TestPalette::autoPaletteOrder() {
    QFETCH(int, split);
    QFETCH(Colour, first);
    QFETCH(Colour, second);
    QFETCH(bool, many);
    QFETCH(QList<Colour>, expected);
    const AutoPalette p =
        autoPalette(picture([=](int x, int) { return x < split ? first : second; }), {many, false});
    QCOMPARE(p.count, expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(p.swatches[std::size_t(i)], expected[i]);
}

void TestPalette::autoPaletteAtMost15() {
    // Twenty stripes of 2,000 samples, each in its own bin at 4 levels, in visiting order.
    const auto stripe = [](int k) {
        return RGB(64 * (k / 16) + 10, 64 * (k / 4 % 4) + 10, 64 * (k % 4) + 10);
    };
    const AutoPalette p =
        autoPalette(picture([&](int x, int) { return stripe(x / 10); }), {true, false});
    QCOMPARE(p.count, 15);
    for (int i = 0; i < 15; ++i)
        QCOMPARE(p.swatches[std::size_t(i)], stripe(i));
    QCOMPARE(p.swatches[15], kWhite);
}

void TestPalette::writesTheStartUpPalette() {
    const QByteArray expected = " 0 \r\n 8388608 \r\n 32768 \r\n 8421376 \r\n 128 \r\n"
                                " 8388736 \r\n 32896 \r\n 12632256 \r\n 8421504 \r\n"
                                " 16711680 \r\n 65280 \r\n 16776960 \r\n 255 \r\n"
                                " 16711935 \r\n 65535 \r\n 16777215 \r\n";
    const QByteArray bytes = writeColFile(startUpPalette());
    QCOMPARE(bytes.size(), 159);
    QCOMPARE(bytes, expected);
    QCOMPARE(bytes.mid(bytes.indexOf(" 16711680"), 12),
             QByteArray("\x20\x31\x36\x37\x31\x31\x36\x38\x30\x20\x0D\x0A"));
    Colours negative{};
    negative[0] = -1;
    negative[1] = std::numeric_limits<Colour>::min();
    QVERIFY(writeColFile(negative).startsWith("-1 \r\n-2147483648 \r\n 0 \r\n"));
}

void TestPalette::reads_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("found");
    QTest::addColumn<QList<Colour>>("first"); // the first colours read

    QList<QByteArray> sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen << QByteArray::number(i * 1000);
    const auto with = [&](int at, const QByteArray& field) {
        QList<QByteArray> f = sixteen;
        f[at] = field;
        return f;
    };
    const auto ok = int(Error::None);
    QTest::newRow("as written") << writeColFile(startUpPalette()) << ok << 16
                                << QList<Colour>{0, 8388608, 32768};
    QTest::newRow("one line, commas")
        << sixteen.join(',') << ok << 16 << QList<Colour>{0, 1000, 2000};
    QTest::newRow("LF line ends, blanks, tabs")
        << (" \t255\n" + sixteen.mid(1).join('\n')) << ok << 16 << QList<Colour>{255, 1000};
    QTest::newRow("more than 16 values")
        << lines(sixteen + QList<QByteArray>{"x", "7"}) << ok << 16 << QList<Colour>{0, 1000};
    QList<QByteArray> tenThousand = sixteen;
    for (int i = 16; i < 10000; ++i)
        tenThousand << QByteArray::number(i);
    QTest::newRow("10,000 values") << lines(tenThousand) << ok << 16 << QList<Colour>{0, 1000};
    QTest::newRow("text is black")
        << lines(with(1, "rosso")) << ok << 16 << QList<Colour>{0, 0, 2000};
    QTest::newRow("halves to even") << lines(with(0, "2.5").mid(0, 1) + with(1, "3.5").mid(1)) << ok
                                    << 16 << QList<Colour>{2, 4};
    QTest::newRow("byte-order mark")
        << "\xEF\xBB\xBF" + lines(with(0, "255")) << ok << 16 << QList<Colour>{255, 1000};
    QTest::newRow("last field at end of file")
        << sixteen.join("\r\n") << ok << 16 << QList<Colour>{};
    QTest::newRow("empty") << QByteArray() << int(Error::TooFew) << 0 << QList<Colour>{};
    QTest::newRow("15 values") << lines(sixteen.mid(0, 15)) << int(Error::TooFew) << 15
                               << QList<Colour>{};
    QTest::newRow("negative") << lines(with(3, "-1")) << int(Error::OutOfRange) << 3
                              << QList<Colour>{};
    QTest::newRow("above white") << lines(with(15, "16777216")) << int(Error::OutOfRange) << 15
                                 << QList<Colour>{};
    QTest::newRow("beyond any number")
        << lines(with(0, "1e999")) << int(Error::OutOfRange) << 0 << QList<Colour>{};
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                            << int(Error::NotText) << 1 << QList<Colour>{};
}

void TestPalette::reads() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QFETCH(int, found);
    QFETCH(QList<Colour>, first);
    const ColFileRead read = parseColFile(bytes);
    QCOMPARE(int(read.error), error);
    QCOMPARE(read.found, found);
    for (int i = 0; i < first.size(); ++i)
        QCOMPARE(read.colours[std::size_t(i)], first[i]);
}

void TestPalette::readingIsBounded() {
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& head, qint64 fill, char with) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(head);
        const QByteArray block(1 << 20, with);
        for (qint64 left = fill; left > 0; left -= block.size())
            f.write(block.left(int(std::min<qint64>(left, block.size()))));
    };
    const qint64 fifty = 50LL << 20;
    write("riga.col", "1", fifty, '5'); // one number, 50 MB long, no line end
    write("spazi.col", "", fifty, ' '); // nothing but blanks
    write("coda.col", writeColFile(startUpPalette()), fifty, 'x'); // a palette, then anything
    QCOMPARE(readColFile(dir.filePath("riga.col")).error, Error::TooLong);
    QCOMPARE(readColFile(dir.filePath("spazi.col")).error, Error::TooLong);
    QVERIFY(readColFile(dir.filePath("coda.col")).ok());
    QCOMPARE(readColFile(dir.filePath("coda.col")).colours, startUpPalette());
    QCOMPARE(readColFile(dir.filePath("manca.col")).error, Error::CannotOpen);
    QCOMPARE(readColFile(dir.path()).error, Error::CannotOpen);
}

void TestPalette::failuresSayWhy_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // "dir" a folder, "fifo" a FIFO, empty: nothing
    QTest::addColumn<QString>("message");
    const QString cannot = QStringLiteral("Impossibile leggere il file di colori ");
    QTest::newRow("missing") << "manca.col" << QByteArray()
                             << cannot + "“manca.col”: file non trovato.";
    QTest::newRow("folder") << "c.col" << QByteArray("dir") << cannot + "“c.col”: è una cartella.";
    QTest::newRow("FIFO") << "f.col" << QByteArray("fifo")
                          << cannot + "“f.col”: non è un file normale.";
    QTest::newRow("%2 and %1 in the name")
        << "a%2b%1.col" << QByteArray("1,2,3")
        << "Il file di colori “a%2b%1.col” contiene solo 3 valori su 16.";
}

void TestPalette::failuresSayWhy() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (content == "dir")
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (content == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (!content.isEmpty())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    QCOMPARE(describeFailure(readColFile(path), name),
             message + QStringLiteral(" Nessun colore è stato cambiato."));
}

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
