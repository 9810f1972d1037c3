// The chart conversion without the window: cell steps and grids, nearest palette entry, contrast,
// stitch widths, the printer page, and whole runs drawn on plain surfaces and into PDF files.
#include "app/application.h"
#include "pattern/conversion.h"
#include "pattern/rules.h"
#include "runtime/numbers.h"
#include "runtime/systemprinter.h"
#include "runtime/runtimeerror.h"
#include "runtime/surface.h"
#include "support/pdf.h"

#include <QDir>
#include <QFile>
#include <QPaintEngine>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <new>

using namespace trameda;
using namespace trameda::pattern;

namespace {

struct Palette {
    Table rosso{};
    Table verde{};
    Table blu{};
    ColourTables tables() { return {rosso, verde, blu}; }
    void set(int i, Colour c) {
        const Components k = splitColour(c);
        rosso[std::size_t(i)] = k.red;
        verde[std::size_t(i)] = k.green;
        blu[std::size_t(i)] = k.blue;
    }
};

std::array<Colour, 16> startUpSwatches() {
    std::array<Colour, 16> s{};
    for (int i = 0; i < 16; ++i)
        s[std::size_t(i)] = QBColor(i);
    return s;
}

QStringList pdfsIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("stampa-*.pdf")}, QDir::Files, QDir::Name);
}

// A document whose device reports a failure after a number of drawing operations.
class FailingDocument : public PrintDocument {
public:
    FailingDocument(std::unique_ptr<PrintDocument> inner, int goodOperations, bool& aborted)
        : m_inner(std::move(inner)), m_left(goodOperations), m_aborted(aborted) {}
    QPaintDevice& device() override { return m_inner->device(); }
    bool failed() const override { return --m_left < 0; }
    void end(QPainter& painter) override { m_inner->end(painter); }
    void abort(QPainter& painter) noexcept override {
        m_aborted = true;
        m_inner->abort(painter);
    }

private:
    std::unique_ptr<PrintDocument> m_inner;
    mutable int m_left;
    bool& m_aborted;
};

class FailingOutput : public PrintOutput {
public:
    FailingOutput(const QString& folder, int goodOperations, bool& aborted)
        : m_pdf(folder), m_good(goodOperations), m_aborted(aborted) {}
    std::unique_ptr<PrintDocument> open() override {
        return std::make_unique<FailingDocument>(m_pdf.open(), m_good, m_aborted);
    }

private:
    PdfPrintOutput m_pdf;
    int m_good;
    bool& m_aborted;
};

// A page whose engine runs out of memory as it ends, as the PDF engine can while it compresses
// the page.
class StarvedEngine : public QPaintEngine {
public:
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { throw std::bad_alloc(); }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return User; }
};

class StarvedDocument : public PrintDocument, public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QPaintDevice& device() override { return *this; }
    bool failed() const override { return false; }
    void end(QPainter& painter) override { painter.end(); }
    void abort(QPainter& painter) noexcept override {
        try {
            painter.end();
        } catch (...) {
        }
    }

protected:
    int metric(PaintDeviceMetric metric) const override {
        return metric == PdmWidth || metric == PdmHeight ? 1000
               : metric == PdmDepth                      ? 32
               : metric == PdmDpiX || metric == PdmDpiY  ? 600
                                                         : QPaintDevice::metric(metric);
    }

private:
    mutable StarvedEngine m_engine;
};

class StarvedOutput : public PrintOutput {
public:
    std::unique_ptr<PrintDocument> open() override { return std::make_unique<StarvedDocument>(); }
};

// The run's view of a window that is not there: plain surfaces of 200 x 200 pixels, so that one
// unit is one pixel, and options held in fields.
class Host : public ChartHost {
public:
    explicit Host(std::unique_ptr<PrintOutput> output = nullptr)
        : m_printer(output ? std::move(output)
                           : std::make_unique<PdfPrintOutput>(QDir::tempPath())) {
        for (ImageSurface* s : {&sourceSurface, &chartSurface}) {
            s->resizeImage(QSize(200, 200));
            s->setScaleWidth(200);
            s->setScaleHeight(200);
        }
        fillSource(RGB(255, 0, 0));
    }

    void fillSource(Colour c) { sourceSurface.Line(0, 0, 200, 200, c, LineForm::BoxFilled); }

    int stitchesAcross() const override { return across; }
    int stitchesDown() const override { return down; }
    QString coloursText() const override { return text; }
    Colour swatchColour(int index) const override {
        if (index < 0 || index > 15)
            throw RuntimeError(RuntimeError::SubscriptOutOfRange);
        return swatches[std::size_t(index)];
    }
    bool squares() const override { return squaresOn; }
    bool grid() const override { return gridOn; }
    bool letters() const override { return lettersOn; }
    bool printing() const override { return printingOn; }
    ImageSurface& source() override { return sourceSurface; }
    ImageSurface& chart() override { return chartSurface; }
    Printer& printer() override { return m_printer; }
    ColourTables tables() override { return palette.tables(); }
    int& annullato() override { return cancel; }
    void showCancel() override { cancelShown = true; }
    void hideCancel() override { cancelShown = false; }
    void yield() override {
        ++yields;
        if (onYield)
            onYield(yields);
    }

    QRgb at(int x, int y) const { return chartSurface.image().pixel(x, y); }

    int across = 10;
    int down = 10;
    QString text = QStringLiteral("16");
    std::array<Colour, 16> swatches = startUpSwatches();
    bool squaresOn = false;
    bool gridOn = false;
    bool lettersOn = false;
    bool printingOn = false;
    Palette palette;
    int cancel = 0;
    bool cancelShown = false;
    int yields = 0;
    std::function<void(int)> onYield;
    ImageSurface sourceSurface;
    ImageSurface chartSurface;

private:
    Printer m_printer;
};

const QRgb white = qRgb(255, 255, 255);
const QRgb black = qRgb(0, 0, 0);
const QRgb red = qRgb(255, 0, 0);

} // namespace

class TestPattern : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareApplication(); }

    void grid_data();
    void grid();
    void nearest_data();
    void nearest();
    void contrast_data();
    void contrast();
    void strokeWidths_data();
    void strokeWidths();
    void pageScale_data();
    void pageScale();
    void letters();

    void crossesAndGrid();
    void squaresAndLetters();
    void laterCellWinsTheSharedEdge();
    void swatchReadAtDrawingTime();
    void coloursText_data();
    void coloursText();
    void paletteBeyondTheSwatches();
    void cancelAfterAColumn();

    void pdfNames();
    void pdfNeverOverwrites();
    void printedRunIsOneDocumentOfOnePage();
    void cancelledPrintingRunStillEndsTheDocument();
    void failingPrinterAbortsTheDocument();
    void printerOutOfMemoryWhileEnding();
    void noSystemPrinterWritesAPdfHere();
};

void TestPattern::grid_data() {
    QTest::addColumn<int>("stitches");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("cells");
    QTest::newRow("1 stitch") << 1 << 200 << 2;
    QTest::newRow("3 stitches") << 3 << 66 << 4;
    QTest::newRow("45 stitches") << 45 << 4 << 51;
    QTest::newRow("50 stitches") << 50 << 4 << 51;
    QTest::newRow("150 stitches") << 150 << 1 << 201;
}

void TestPattern::grid() {
    QFETCH(int, stitches);
    QFETCH(int, step);
    QFETCH(int, cells);
    QCOMPARE(cellStep(stitches), step);
    QCOMPARE(gridCount(step), cells);

    // The run yields once per column and samples once per cell.
    Host host;
    host.across = stitches;
    host.down = 50;
    host.text = QStringLiteral("1");
    convert(host);
    QCOMPARE(host.yields, cells);
    QVERIFY(!host.cancelShown);
    QCOMPARE(host.cancel, 0);
}

void TestPattern::nearest_data() {
    QTest::addColumn<QList<Colour>>("palette"); // empty for the 16 standard colours
    QTest::addColumn<Colour>("sample");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("scelto");
    const QList<Colour> standard;
    const QList<Colour> blackWhite{RGB(0, 0, 0), RGB(255, 255, 255)};
    const QList<Colour> twins{RGB(9, 9, 9), RGB(200, 0, 0), RGB(200, 0, 0), RGB(0, 200, 0)};
    const QList<Colour> equidistant{RGB(100, 0, 0), RGB(0, 100, 0), RGB(0, 0, 100)};
    // A read outside the picture is matched as red 255, green 255, blue -1.
    QTest::newRow("outside, 16 in use") << standard << NoColour << "16" << 14;
    QTest::newRow("outside, 8 in use") << standard << NoColour << "8" << 6;
    QTest::newRow("grey 128 nearer white") << blackWhite << RGB(128, 128, 128) << "2" << 1;
    QTest::newRow("grey 127 nearer black") << blackWhite << RGB(127, 127, 127) << "2" << 0;
    QTest::newRow("equal entries, the lower") << twins << RGB(190, 0, 0) << "4" << 1;
    QTest::newRow("equal distances, the lower") << equidistant << RGB(0, 0, 0) << "3" << 0;
    QTest::newRow("2.5 uses two entries") << standard << RGB(0, 128, 0) << "2.5" << 0;
    QTest::newRow("3 reaches entry 2") << standard << RGB(0, 128, 0) << "3" << 2;
    QTest::newRow("none in use") << standard << RGB(0, 0, 0) << "0" << -1;
    QTest::newRow("no number") << standard << RGB(0, 0, 0) << "abc" << -1;
}

void TestPattern::nearest() {
    QFETCH(QList<Colour>, palette);
    QFETCH(Colour, sample);
    QFETCH(QString, size);
    QFETCH(int, scelto);
    Palette p;
    for (int i = 0; i < 16; ++i)
        p.set(i, QBColor(i));
    for (qsizetype i = 0; i < palette.size(); ++i)
        p.set(int(i), palette[i]);
    QCOMPARE(nearestEntry(splitColour(sample), Val(size), p.tables()), scelto);

    // The distances the choices above rest on.
    if (sample == NoColour && size == u"8") {
        const Components s = splitColour(sample);
        QCOMPARE(s.blue, -1.0);
        QCOMPARE((s.blue - p.blu[6]) * (s.blue - p.blu[6]) +
                     (s.green - p.verde[6]) * (s.green - p.verde[6]) +
                     (s.red - p.rosso[6]) * (s.red - p.rosso[6]),
                 32259.0);
    }
}

void TestPattern::contrast_data() {
    QTest::addColumn<Colour>("colour");
    QTest::addColumn<Colour>("contrasto");
    QTest::newRow("128 128 129") << RGB(128, 128, 129) << QBColor(0);
    QTest::newRow("exactly 128") << RGB(128, 128, 128) << QBColor(15);
    QTest::newRow("black") << RGB(0, 0, 0) << QBColor(15);
    QTest::newRow("white") << RGB(255, 255, 255) << QBColor(0);
}

void TestPattern::contrast() {
    QFETCH(Colour, colour);
    QFETCH(Colour, contrasto);
    Palette p;
    p.set(3, colour);
    QCOMPARE(contrastColour(p.tables(), 3), contrasto);
}

void TestPattern::strokeWidths_data() {
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<int>("screen");
    QTest::addColumn<QList<int>>("printer");
    QTest::newRow("1-6") << QList<int>{1, 2, 3, 4, 5, 6} << 2 << QList<int>{2, 4, 5, 7, 9, 10};
    QTest::newRow("7-9") << QList<int>{7, 8, 9} << 3 << QList<int>{10, 10, 10};
    QTest::newRow("10-12") << QList<int>{10, 11, 12} << 4 << QList<int>{10, 10, 10};
    QTest::newRow("13-14") << QList<int>{13, 14} << 5 << QList<int>{10, 10};
    QTest::newRow("15-16") << QList<int>{15, 16} << 6 << QList<int>{10, 10};
    QTest::newRow("18") << QList<int>{18} << 7 << QList<int>{10};
    QTest::newRow("20, 22") << QList<int>{20, 22} << 8 << QList<int>{10, 10};
    QTest::newRow("25") << QList<int>{25} << 9 << QList<int>{10};
    QTest::newRow("28") << QList<int>{28} << 10 << QList<int>{10};
    QTest::newRow("33") << QList<int>{33} << 12 << QList<int>{10};
    QTest::newRow("40-200") << QList<int>{40, 50, 66, 100, 200} << 15
                            << QList<int>{10, 10, 10, 10, 10};
}

void TestPattern::strokeWidths() {
    QFETCH(QList<int>, widths);
    QFETCH(int, screen);
    QFETCH(QList<int>, printer);
    for (qsizetype i = 0; i < widths.size(); ++i) {
        QCOMPARE(screenStrokeWidth(widths[i]), screen);
        QCOMPARE(printerStrokeWidth(widths[i]), printer[i]);
    }
}

void TestPattern::pageScale_data() {
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::newRow("45 x 50") << 45 << 50 << double(float(201 / 0.9)) << 351.0;
    QTest::newRow("100 x 50") << 100 << 50 << 201.0 << 702.0;
    QTest::newRow("equal") << 70 << 70 << 201.0 << 351.0;
}

void TestPattern::pageScale() {
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(double, width);
    QFETCH(double, height);
    QTemporaryDir dir;
    Printer printer(std::make_unique<PdfPrintOutput>(dir.path()));
    setUpPage(printer, across, down);
    QVERIFY(printer.hasDocument());
    QCOMPARE(printer.ScaleWidth(), width);
    QCOMPARE(printer.ScaleHeight(), height);
    printer.EndDoc();
    QCOMPARE(pdfsIn(dir.path()).size(), 1);
}

void TestPattern::letters() {
    QCOMPARE(letterFor(0), QStringLiteral("A"));
    QCOMPARE(letterFor(15), QStringLiteral("P"));
}

void TestPattern::crossesAndGrid() {
    // Step 20, crosses 8 pixels wide, white grid boxes over black.
    Host host;
    host.swatches[0] = RGB(0, 0, 0);
    host.fillSource(RGB(10, 10, 10));
    host.gridOn = true;
    convert(host);
    QCOMPARE(host.at(10, 10), black);   // the crossing of the diagonals
    QCOMPARE(host.at(13, 10), black);   // within 4 pixels of a diagonal
    QCOMPARE(host.at(16, 10), white);   // beyond
    QCOMPARE(host.at(0, 7), white);     // the grid box
    QCOMPARE(host.at(10, 0), white);    // ...
    QCOMPARE(host.at(190, 190), black); // every cell is drawn
    QCOMPARE(host.chartSurface.DrawWidth(), 1);

    // Without the grid the cell's edge is the cross's.
    host.gridOn = false;
    convert(host);
    QCOMPARE(host.at(0, 0), black);
    QCOMPARE(host.at(0, 7), white);
}

void TestPattern::squaresAndLetters() {
    Host host;
    host.squaresOn = true;
    host.swatches[0] = RGB(255, 255, 255);
    host.swatches[15] = RGB(0, 0, 255);
    host.palette = {};
    host.fillSource(RGB(250, 250, 250)); // nearest to entry 0
    convert(host);
    const QImage plain = host.chartSurface.image();
    QCOMPARE(host.at(5, 5), white);

    host.lettersOn = true;
    convert(host);
    const QImage withA = host.chartSurface.image();
    // Letters in black over white (contrast), inside the cell from its top left.
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (qGray(withA.pixel(x, y)) < 60)
                ++inked;
    QVERIFY(inked > 10);
    QVERIFY(withA.copy(20, 0, 20, 20) != plain.copy(20, 0, 20, 20));
    // The letter is the one the surface prints for "A" at (0.5, 0.5), 10 points.
    ImageSurface reference;
    reference.resizeImage(QSize(200, 200));
    reference.setScaleWidth(200);
    reference.setScaleHeight(200);
    reference.Line(0, 0, 20, 20, RGB(255, 255, 255), LineForm::BoxFilled);
    reference.setFontSize(10);
    reference.setCurrentX(0.5);
    reference.setCurrentY(0.5);
    reference.setForeColor(0);
    reference.Print(QStringLiteral("A"));
    QCOMPARE(withA.copy(0, 0, 20, 20), reference.image().copy(0, 0, 20, 20));

    // Entry 15 is P, in white over blue.
    host.swatches[0] = RGB(0, 0, 0);
    host.swatches[9] = QBColor(7); // the standard blue would tie with entry 15, and win
    host.fillSource(RGB(0, 0, 250));
    convert(host);
    reference.Line(0, 0, 20, 20, RGB(0, 0, 255), LineForm::BoxFilled);
    reference.setCurrentX(0.5);
    reference.setCurrentY(0.5);
    reference.setForeColor(QBColor(15));
    reference.Print(QStringLiteral("P"));
    QCOMPARE(host.chartSurface.image().copy(0, 0, 20, 20), reference.image().copy(0, 0, 20, 20));
}

void TestPattern::laterCellWinsTheSharedEdge() {
    // Left half black, right half white: the edge at x = 100 is drawn by the right column last.
    Host host;
    host.squaresOn = true;
    host.gridOn = true;
    host.fillSource(RGB(0, 0, 0));
    host.sourceSurface.Line(100, 0, 200, 200, RGB(255, 255, 255), LineForm::BoxFilled);
    convert(host);
    QCOMPARE(host.at(100, 50), black); // the white cell's black grid box
    QCOMPARE(host.at(99, 50), black);  // the black cell's own square
    QCOMPARE(host.at(80, 50), white);  // the black cell's white grid box
    QCOMPARE(host.at(120, 55), black); // and the white cell's
    QCOMPARE(host.at(110, 55), white);
}

void TestPattern::swatchReadAtDrawingTime() {
    // Entry 0 black at the start; turned white after the first column. The squares follow the
    // swatch, the grid boxes the tables filled at the start (white over black).
    Host host;
    host.squaresOn = true;
    host.gridOn = true;
    host.fillSource(RGB(0, 0, 0));
    host.onYield = [&host](int column) {
        if (column == 1)
            host.swatches[0] = RGB(255, 255, 255);
    };
    convert(host);
    QCOMPARE(host.at(5, 5), black);
    QCOMPARE(host.at(25, 5), white);
    QCOMPARE(host.at(20, 5), white); // grid box
    QCOMPARE(host.palette.rosso[0], 0.0);
}

void TestPattern::coloursText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRgb>("cell");
    QTest::addColumn<double>("filled"); // rosso(2) after the run
    // Entry 2 (dark green) is only reached when three entries are in use.
    QTest::newRow("2.5") << "2.5" << black << -7.0;
    QTest::newRow("3") << "3" << qRgb(0, 128, 0) << 0.0;
    QTest::newRow("abc") << "abc" << white << -7.0;
    QTest::newRow("0") << "0" << white << -7.0;
}

void TestPattern::coloursText() {
    QFETCH(QString, text);
    QFETCH(QRgb, cell);
    QFETCH(double, filled);
    Host host;
    host.squaresOn = true;
    host.text = text;
    host.palette.rosso.fill(-7); // what an earlier run would have left
    host.fillSource(RGB(0, 120, 0));
    convert(host);
    QCOMPARE(host.at(5, 5), cell);
    QCOMPARE(host.palette.rosso[2], filled);
    QCOMPARE(host.yields, 11); // every column is walked and yields, drawn or not
}

void TestPattern::paletteBeyondTheSwatches() {
    // There are 16 swatches: a size of 17 fails on the 17th while filling the tables.
    Host host;
    host.text = QStringLiteral("17");
    host.cancelShown = false;
    try {
        convert(host);
        QFAIL("no error");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.code(), int(RuntimeError::SubscriptOutOfRange));
    }
    QVERIFY(!host.cancelShown); // an error ends the run, cancel button and all
    QCOMPARE(host.yields, 0);
}

void TestPattern::cancelAfterAColumn() {
    Host host;
    host.squaresOn = true;
    host.swatches[0] = RGB(0, 0, 0);
    host.fillSource(RGB(0, 0, 0));
    host.onYield = [&host](int column) {
        if (column == 2)
            host.cancel = 1;
    };
    convert(host);
    QCOMPARE(host.yields, 2);
    QCOMPARE(host.at(39, 199), black); // both columns complete
    QCOMPARE(host.at(41, 0), white);   // nothing beyond
    QVERIFY(!host.cancelShown);
    QCOMPARE(host.cancel, 1);

    // The next run clears the request and draws the whole grid.
    host.onYield = nullptr;
    convert(host);
    QCOMPARE(host.cancel, 0);
    QCOMPARE(host.at(199, 199), black);
}

void TestPattern::pdfNames() {
    const QDateTime when(QDate(2026, 12, 8), QTime(14, 25, 1));
    QCOMPARE(PdfPrintOutput::fileName(when, 1), QStringLiteral("stampa-20261208-142501.pdf"));
    QCOMPARE(PdfPrintOutput::fileName(when, 2), QStringLiteral("stampa-20261208-142501-2.pdf"));
    QCOMPARE(PdfPrintOutput::fileName(when, 3), QStringLiteral("stampa-20261208-142501-3.pdf"));
}

void TestPattern::pdfNeverOverwrites() {
    QTemporaryDir dir;
    // Files already there for this second and the next few.
    const QDateTime now = QDateTime::currentDateTime();
    QStringList existing;
    for (int s = 0; s < 3; ++s) {
        const QString path = dir.filePath(PdfPrintOutput::fileName(now.addSecs(s), 1));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep");
        existing << path;
    }
    Printer printer(std::make_unique<PdfPrintOutput>(dir.path()));
    printer.beginDocument();
    printer.EndDoc();
    printer.beginDocument();
    printer.EndDoc();
    QCOMPARE(pdfsIn(dir.path()).size(), 5);
    for (const QString& path : existing) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep"));
    }
    QVERIFY(pdfsIn(dir.path()).filter(QRegularExpression(QStringLiteral("-2\\.pdf$"))).size() >= 1);
}

void TestPattern::printedRunIsOneDocumentOfOnePage() {
    QTemporaryDir dir;
    auto output = std::make_unique<PdfPrintOutput>(dir.path());
    PdfPrintOutput* pdf = output.get();
    Host host(std::move(output));
    host.across = 45;
    host.down = 50;
    host.printingOn = true;
    host.gridOn = true;
    host.lettersOn = true;
    convert(host);
    QVERIFY(!host.printer().hasDocument());
    QCOMPARE(host.printer().ScaleWidth(), double(float(201 / 0.9)));
    QCOMPARE(host.printer().FontSize(), 6.0);
    QCOMPARE(host.chartSurface.FontSize(), 2.0);
    QCOMPARE(pdfsIn(dir.path()).size(), 1);
    QCOMPARE(pdfPages(pdf->lastPath()), 1);
}

void TestPattern::cancelledPrintingRunStillEndsTheDocument() {
    QTemporaryDir dir;
    Host host(std::make_unique<PdfPrintOutput>(dir.path()));
    host.printingOn = true;
    host.onYield = [&host](int) { host.cancel = 1; };
    convert(host);
    QCOMPARE(host.yields, 1);
    QVERIFY(!host.printer().hasDocument());
    const QStringList files = pdfsIn(dir.path());
    QCOMPARE(files.size(), 1);
    QCOMPARE(pdfPages(QDir(dir.path()).filePath(files.first())), 1);
}

void TestPattern::failingPrinterAbortsTheDocument() {
    QTemporaryDir dir;
    bool aborted = false;
    // Squares alone: one printer drawing per cell, so the 16th cell fails, in the second column.
    Host host(std::make_unique<FailingOutput>(dir.path(), 15, aborted));
    host.squaresOn = true;
    host.printingOn = true;
    host.swatches[0] = RGB(0, 0, 0);
    host.fillSource(RGB(0, 0, 0));
    try {
        convert(host);
        QFAIL("no error");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.code(), int(RuntimeError::PrinterError));
    }
    QVERIFY(aborted);
    QVERIFY(!host.printer().hasDocument());
    QVERIFY(pdfsIn(dir.path()).isEmpty()); // withdrawn, not sent
    // What was drawn before the failure stays.
    QCOMPARE(host.yields, 1);
    QCOMPARE(host.at(5, 199), black);
    QCOMPARE(host.at(25, 5), black);
    QCOMPARE(host.at(25, 199), white);
    QCOMPARE(host.at(60, 5), white);
    QVERIFY(!host.cancelShown);
}

void TestPattern::printerOutOfMemoryWhileEnding() {
    // The painter of a document whose engine gave out is never used again, nor ended once more
    // on a device that is gone; the printer goes on with the next document.
    Printer printer(std::make_unique<StarvedOutput>());
    printer.beginDocument();
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, printer.EndDoc());
    QVERIFY(!printer.hasDocument());
    printer.beginDocument();
    QVERIFY(printer.hasDocument());
    printer.abortDocument();
    QVERIFY(!printer.hasDocument());
}

void TestPattern::noSystemPrinterWritesAPdfHere() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this system has a printer");
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    {
        Printer printer(std::make_unique<SystemPrintOutput>());
        printer.setScaleWidth(201);
        printer.Line(0, 0, 100, 100, 0);
        printer.EndDoc();
    }
    QDir::setCurrent(before);
    const QStringList files = pdfsIn(dir.path());
    QCOMPARE(files.size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^stampa-\\d{8}-\\d{6}\\.pdf$"))
                .match(files.first())
                .hasMatch());
    QCOMPARE(pdfPages(QDir(dir.path()).filePath(files.first())), 1);
}

QTEST_MAIN(TestPattern)
#include "tst_pattern.moc"
