// The conversion in the window: the options, cancelling with the button while the run yields, a
// second click during a yield, printing into PDF files or onto a failing printer, and what every
// way a run can end leaves behind.
#include "app/application.h"
#include "app/form1.h"
#include "runtime/printer.h"
#include "support/fakedialogs.h"
#include "support/window.h"
#include "support/filelimit.h"
#include "support/pdf.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace trameda;

namespace {

// A window showing a uniform picture of `colour`.
struct Window : WindowFixture {
    explicit Window(QRgb colour) {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        image.save(dir.filePath(QStringLiteral("tinta.bmp")), "BMP");
        Form1& f = *form;
        f.show();
        f.File1->setPath(dir.path());
        f.File1->setCurrentRow(0);
        f.run([&f] { f.File1_Click(); });
    }
    Form1& operator*() { return *form; }
    Colour chart(double x, double y) const { return form->Picture1[0]->Point(x, y); }
    // Whether a pixel strictly inside the cell of step 4 at (x, y) shows `colour`, or one darker
    // than `colour` when `darker` is set.
    bool cellHolds(int x, int y, Colour colour, bool darker = false) const {
        const PictureBox& chart = *form->Picture1[0];
        const QRect cell = QRect::span(chart.toDevice(x, y), chart.toDevice(x + 4, y + 4));
        for (int py = cell.top() + 1; py < cell.bottom(); ++py)
            for (int px = cell.left() + 1; px < cell.right(); ++px)
                if (darker ? qGray(chart.image().pixel(px, py)) < qGray(toQRgb(colour))
                           : fromQRgb(chart.image().pixel(px, py)) == colour)
                    return true;
        return false;
    }

    // The window goes before the folder it shows.
    ~Window() { form.reset(); }
    QTemporaryDir dir;
};

QStringList pdfsIn(const QString& folder) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("stampa-*.pdf")}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// A printer on paper: no file is left behind. A failing one fails at its first drawing.
class PaperDocument : public PrintDocument {
public:
    PaperDocument(bool fails, int& aborts) : m_fails(fails), m_aborts(aborts), m_writer(&m_buffer) {
        m_buffer.open(QIODevice::WriteOnly);
    }
    QPaintDevice& device() override { return m_writer; }
    bool failed() const override { return m_fails; }
    void end(QPainter& painter) override { painter.end(); }
    void abort(QPainter& painter) noexcept override {
        ++m_aborts;
        painter.end();
    }

private:
    bool m_fails;
    int& m_aborts;
    QBuffer m_buffer;
    QPdfWriter m_writer;
};

class PaperPrinter : public PrintOutput {
public:
    PaperPrinter(bool fails, int& aborts) : m_fails(fails), m_aborts(aborts) {}
    std::unique_ptr<PrintDocument> open() override {
        return std::make_unique<PaperDocument>(m_fails, m_aborts);
    }

private:
    bool m_fails;
    int& m_aborts;
};

const Colour kBlack = 0;
const Colour kWhite = 0xFFFFFF;

} // namespace

class TestChart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareApplication(); }
    void letterOptionSelectsSquares();
    void conversionDrawsTheChart();
    void cancelAfterTheCurrentColumn();
    void secondClickDuringARunIsIgnored();
    void printsOnePageIntoAPdf();
    void failingPrinterIsReportedAndTheChartKept();
    void endOfARun_data();
    void endOfARun();
    void pageThatCannotBeSavedIsReported();
};

void TestChart::letterOptionSelectsSquares() {
    Window w(qRgb(0, 0, 0));
    Form1& f = *w;
    // At start-up the letters are on over crosses: no click has happened.
    QVERIFY(f.Check1->isChecked());
    QVERIFY(f.Option2->isChecked());

    QTest::mouseClick(f.Check1, Qt::LeftButton); // unchecking does nothing
    QVERIFY(!f.Check1->isChecked());
    QVERIFY(f.Option2->isChecked());
    QTest::mouseClick(f.Check1, Qt::LeftButton);
    QVERIFY(f.Check1->isChecked());
    QVERIFY(f.Option1->isChecked());
    QVERIFY(!f.Option2->isChecked());

    // Crosses again keep the letters; a check by code selects the squares as a click does.
    f.Option2->setChecked(true);
    QVERIFY(f.Check1->isChecked());
    f.Check1->setChecked(false);
    f.Check1->setChecked(true);
    QVERIFY(f.Option1->isChecked());
}

void TestChart::conversionDrawsTheChart() {
    Window w(qRgb(255, 255, 255));
    Form1& f = *w;
    // Caught in the act: the cancel button is up while the run yields.
    bool shownDuringRun = false;
    QTimer::singleShot(0, &f, [&] { shownDuringRun = f.Command6->isVisible(); });
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QVERIFY(shownDuringRun);
    QVERIFY(!f.Command6->isVisible());
    QCOMPARE(f.annullato, 0);
    QVERIFY(w.dialogs.errors.isEmpty());
    // White picture, entry 7 (silver) of 8: crosses in silver, black grid boxes and letters H.
    QCOMPARE(f.rosso[7], 192.0);
    QCOMPARE(w.chart(100, 100), kBlack);            // a grid corner
    QVERIFY(w.cellHolds(100, 100, 0xC0C0C0));       // the cross
    QVERIFY(w.cellHolds(100, 100, 0x909090, true)); // the letter, dark and tiny
    QCOMPARE(f.Picture1[0]->FontSize(), 2.0);
    QVERIFY(!f.printer().hasDocument());
}

void TestChart::cancelAfterTheCurrentColumn() {
    Window w(qRgb(0, 0, 0));
    Form1& f = *w;
    f.Option1->setChecked(true);
    f.Check1->setChecked(false);
    f.Check3->setChecked(false);
    // The click waits in the queue until the first yield, after column 0.
    QTimer::singleShot(0, &f, [&] { QTest::mouseClick(f.Command6, Qt::LeftButton); });
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QCOMPARE(f.annullato, 1);
    QVERIFY(!f.Command6->isVisible());
    QCOMPARE(w.chart(0, 0), kBlack);
    QCOMPARE(w.chart(3.5, 199), kBlack); // the whole first column
    QCOMPARE(w.chart(6, 0), kWhite);     // and nothing more
    QCOMPARE(w.chart(150, 150), kWhite);

    // The next run starts afresh.
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QCOMPARE(f.annullato, 0);
    QCOMPARE(w.chart(150, 150), kBlack);
}

void TestChart::secondClickDuringARunIsIgnored() {
    Window w(qRgb(0, 0, 0));
    Form1& f = *w;
    f.Option1->setChecked(true);
    f.Check1->setChecked(false);
    f.Check3->setChecked(false);
    QTemporaryDir out;
    f.setPrintOutput(std::make_unique<PdfPrintOutput>(out.path()));
    f.Check2->setChecked(true);
    int clicks = 0;
    connect(f.Command2, &QPushButton::clicked, &f, [&clicks] { ++clicks; });
    bool cancelShownAfterSecond = false;
    QTimer::singleShot(0, &f, [&] {
        // During the first yield: a second click, then a mark over the first column.
        QTest::mouseClick(f.Command2, Qt::LeftButton);
        f.Picture1[0]->Line(0, 0, 3, 200, 0x0000FF, LineForm::BoxFilled);
        QTimer::singleShot(0, &f, [&] { cancelShownAfterSecond = f.Command6->isVisible(); });
    });
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    // The one run went on from its second column, cancel button up, into its one document.
    QVERIFY(cancelShownAfterSecond);
    QCOMPARE(w.chart(1, 100), 0x0000FF);
    QCOMPARE(w.chart(10, 100), kBlack);
    QCOMPARE(w.chart(199, 199), kBlack);
    const QStringList files = pdfsIn(out.path());
    QCOMPARE(files.size(), 1);
    QCOMPARE(pdfPages(files.first()), 1);
    QVERIFY(!f.Command6->isVisible());
    QVERIFY(w.dialogs.errors.isEmpty());
}

void TestChart::printsOnePageIntoAPdf() {
    Window w(qRgb(0, 0, 255));
    Form1& f = *w;
    QTemporaryDir out;
    f.setPrintOutput(std::make_unique<PdfPrintOutput>(out.path()));
    f.Check2->setChecked(true);
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QVERIFY(w.dialogs.errors.isEmpty());
    QStringList files = pdfsIn(out.path());
    QCOMPARE(files.size(), 1);
    QCOMPARE(pdfPages(files.first()), 1);
    QCOMPARE(f.printer().FontSize(), 6.0);

    // Each printing run is a document of its own.
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    files = pdfsIn(out.path());
    QCOMPARE(files.size(), 2);
    QCOMPARE(pdfPages(files.last()), 1);
}

void TestChart::failingPrinterIsReportedAndTheChartKept() {
    Window w(qRgb(0, 0, 0));
    Form1& f = *w;
    f.Option1->setChecked(true);
    f.Check1->setChecked(false);
    f.Check3->setChecked(false);
    int aborts = 0;
    f.setPrintOutput(std::make_unique<PaperPrinter>(true, aborts));
    f.Check2->setChecked(true);
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QCOMPARE(w.dialogs.errors.size(), 1);
    QVERIFY(w.dialogs.errors.first().contains(u"482"));
    QCOMPARE(aborts, 1);
    QVERIFY(!f.printer().hasDocument());
    // The first cell reached the screen before the printer failed; the run stopped there.
    QCOMPARE(w.chart(1, 1), kBlack);
    QCOMPARE(w.chart(1, 10), kWhite);
    QVERIFY(!f.Command6->isVisible());

    // A working printer afterwards gets a document of its own, of one page.
    QTemporaryDir out;
    f.setPrintOutput(std::make_unique<PdfPrintOutput>(out.path()));
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QCOMPARE(w.dialogs.errors.size(), 1);
    QCOMPARE(pdfPages(pdfsIn(out.path()).value(0)), 1);
    QVERIFY(!f.Command6->isVisible());
}

void TestChart::endOfARun_data() {
    QTest::addColumn<QString>("printer"); // none, file (as without a printer), paper, failing
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("colours");
    QTest::newRow("completed") << "none" << false << "8";
    QTest::newRow("completed, page to a file") << "file" << false << "8";
    QTest::newRow("cancelled, page to a file") << "file" << true << "8";
    QTest::newRow("completed, page on paper") << "paper" << false << "8";
    QTest::newRow("printer failing") << "failing" << false << "8";
    QTest::newRow("more colours than swatches") << "none" << false << "20";
}

void TestChart::endOfARun() {
    QFETCH(QString, printer);
    QFETCH(bool, cancel);
    QFETCH(QString, colours);
    Window w(qRgb(0, 0, 0));
    Form1& f = *w;
    QTemporaryDir out;
    int aborts = 0;
    if (printer == "file")
        f.setPrintOutput(std::make_unique<PdfPrintOutput>(out.path()));
    else if (printer != "none")
        f.setPrintOutput(std::make_unique<PaperPrinter>(printer == "failing", aborts));
    f.Check2->setChecked(printer != "none");
    f.Text1->setText(colours);
    qsizetype toldDuringRun = 0;
    QTimer::singleShot(0, &f, [&] {
        toldDuringRun = w.dialogs.informations.size();
        if (cancel)
            QTest::mouseClick(f.Command6, Qt::LeftButton);
    });
    f.run([&f] { f.Command2_Click(); });

    QVERIFY(!f.Command6->isVisible());
    QVERIFY(!f.printer().hasDocument());
    QCOMPARE(w.dialogs.errors.size(), printer == "failing" || colours == "20" ? 1 : 0);
    // Where the page went is told once the run is over, and only when it went to a file.
    const QStringList files = pdfsIn(out.path());
    QCOMPARE(toldDuringRun, 0);
    QCOMPARE(w.dialogs.informations.size(), files.size());
    if (!files.isEmpty())
        QVERIFY(w.dialogs.informations.first().endsWith(u'\n' + files.first()));
    // The next run starts, whatever ended this one.
    f.Text1->setText(QStringLiteral("8"));
    f.Check2->setChecked(false);
    QTest::mouseClick(f.Command2, Qt::LeftButton);
    QVERIFY(w.cellHolds(100, 100, 0));
}

void TestChart::pageThatCannotBeSavedIsReported() {
    Window w(qRgb(0, 0, 255));
    Form1& f = *w;
    QTemporaryDir out;
    f.setPrintOutput(std::make_unique<PdfPrintOutput>(out.path()));
    f.Check2->setChecked(true);
    {
        FileSizeLimit full(1000);
        QTest::mouseClick(f.Command2, Qt::LeftButton);
    }
    QCOMPARE(w.dialogs.errors.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("stampa-[-0-9]+\\.pdf: file troppo grande"))
                 .match(w.dialogs.errors.first())
                 .hasMatch(),
             qPrintable(w.dialogs.errors.first()));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(f.printer().lastPath().isEmpty());
}

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
