// Charts without the window: which arguments ask for one, the same chart as the window draws, the
// colour key, the threads and the pattern document, and every kind of bad input with its exit
// status and nothing half-written.
#include "app/application.h"
#include "app/form1.h"
#include "app/startup.h"
#include "batch/run.h"
#include "document/oxs.h"
#include "document/symbols.h"
#include "support/fakedialogs.h"
#include "support/pdf.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <climits>
#include <unistd.h>

using namespace trameda;
using batch::Parsed;

namespace {

// Left half red, right half blue, a white band across the top: 30 of 200 rows, so that no
// row of cells samples the edge between white and colour.
QImage halves() {
    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            image.setPixel(x, y,
                           y < 30    ? qRgb(255, 255, 255)
                           : x < 150 ? qRgb(255, 0, 0)
                                     : qRgb(0, 0, 255));
    return image;
}

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome runArguments(QStringList arguments) {
    arguments.prepend(QStringLiteral("trameda"));
    Outcome o;
    const Parsed parsed = batch::parse(arguments);
    if (parsed.action != Parsed::Action::Chart) {
        o.status = parsed.action == Parsed::Action::Error ? batch::kUsageError : batch::kDone;
        o.err = parsed.text;
        return o;
    }
    QTextStream out(&o.out);
    QTextStream err(&o.err);
    o.status = batch::run(parsed.request, out, err);
    out.flush();
    err.flush();
    return o;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void windowOrCommandLine_data();
    void windowOrCommandLine();
    void sameChartAsTheWindow_data();
    void sameChartAsTheWindow();
    void keyCountsStitches();
    void printedPageHasOnePage();
    void threads_data();
    void threads();
    void stitchedPattern_data();
    void stitchedPattern();
    void patternPages_data();
    void patternPages();
    void usageErrors_data();
    void usageErrors();
    void defaultSizeKeepsWithinTheCap_data();
    void defaultSizeKeepsWithinTheCap();
    void fileErrorsLeaveNothingHalfWritten();
    void realProgramWithoutDisplay();
    void manualPageListsTheOptionsOfHelp();

private:
    QTemporaryDir m_dir;
    QString m_picture;
};

void TestCommandLine::initTestCase() {
    prepareApplication();
    m_picture = m_dir.filePath(QStringLiteral("metà.bmp"));
    QVERIFY(halves().save(m_picture, "BMP"));
}

void TestCommandLine::windowOrCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("window"); // the picture it opens on; "-" for a command line
    QTest::addColumn<QList<int>>("qt");  // the arguments left to Qt, by position
    const QString named = m_dir.filePath(QStringLiteral("UNA FOTO.JPG"));
    QVERIFY(QFile(m_picture).copy(named));
    QVERIFY(QFile(m_picture).copy(m_dir.filePath(QStringLiteral("foto.png"))));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("cartella.bmp")));
    const QString qt = QDir::current().relativeFilePath(named);
    const QList<int> none;
    QTest::newRow("nothing") << QStringList{} << "" << none;
    QTest::newRow("Qt's options") << QStringList{"-style", "fusion",   "--platform",
                                                 "xcb",    "-reverse", "-style=fusion"}
                                  << "" << QList<int>{1, 2, 3, 4, 5, 6};
    QTest::newRow("picture among Qt's options")
        << QStringList{"-reverse", m_picture, "-qwindowtitle", "x.jpg"} << m_picture
        << QList<int>{1, 3, 4};
    QTest::newRow("relative path, capitals, spaces") << QStringList{qt} << named << none;
    // Whatever the one name is, the window opens on it and says what it makes of it.
    const QString png = m_dir.filePath("foto.png");
    QTest::newRow("a name the list does not show") << QStringList{png} << png << none;
    const QString jpeg = m_dir.filePath(QStringLiteral("foto.jpeg"));
    QVERIFY(QFile(m_picture).copy(jpeg));
    QTest::newRow("a JPEG the list does not show") << QStringList{jpeg} << jpeg << none;
    const QString missing = m_dir.filePath("manca.jpg");
    QTest::newRow("no such picture") << QStringList{missing} << missing << none;
    const QString folder = m_dir.filePath("cartella.bmp");
    QTest::newRow("a folder") << QStringList{folder} << folder << none;
    QTest::newRow("a name beginning with -, after --")
        << QStringList{"-reverse", "--", "-foto.jpg"}
        << QDir::current().absoluteFilePath("-foto.jpg") << QList<int>{1};
    QTest::newRow("Qt's option after --")
        << QStringList{"--", "-reverse"} << QDir::current().absoluteFilePath("-reverse") << none;
    QTest::newRow("an empty name") << QStringList{""} << "-" << none;
    QTest::newRow("an option of the command line") << QStringList{"--key"} << "-" << none;
    QTest::newRow("two pictures") << QStringList{m_picture, m_picture} << "-" << none;
    QTest::newRow("help") << QStringList{"-style", "fusion", "--help"} << "-" << none;
    QTest::newRow("option lacking its value") << QStringList{m_picture, "-style"} << "-" << none;
}

void TestCommandLine::windowOrCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, window);
    QFETCH(QList<int>, qt);
    arguments.prepend(QStringLiteral("trameda"));
    const startup::Start start = startup::decide(arguments);
    QCOMPARE(start.mode,
             window == "-" ? startup::Start::Mode::CommandLine : startup::Start::Mode::Window);
    QCOMPARE(start.picture, window == "-" ? QString() : window);
    if (window != "-")
        QCOMPARE(QList<int>(start.qtArguments.begin(), start.qtArguments.end()), qt);
}

void TestCommandLine::sameChartAsTheWindow_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("across");
    QTest::addColumn<bool>("squares");
    QTest::newRow("crosses, grid, letters") << QStringList{} << 45 << false;
    QTest::newRow("squares, 16 colours, 100 across")
        << QStringList{QStringLiteral("--squares"), QStringLiteral("--colors"),
                       QStringLiteral("16")}
        << 100 << true;
}

void TestCommandLine::sameChartAsTheWindow() {
    QFETCH(QStringList, options);
    QFETCH(int, across);
    QFETCH(bool, squares);

    FakeDialogs dialogs;
    Form1 form(dialogs);
    form.File1->setPath(m_dir.path());
    form.File1->setCurrentItem(
        form.File1->findItems(QStringLiteral("metà.bmp"), Qt::MatchExactly).first());
    assignValue(form.HScroll1[2], across);
    if (squares) {
        form.Option1->setChecked(true);
        form.Text1->setText(QStringLiteral("16"));
    }
    form.Command2_Click();
    const QImage window = form.Picture1[0]->image();

    const QString png = m_dir.filePath(QStringLiteral("schema.png"));
    const Outcome o = runArguments(
        QStringList{QStringLiteral("--chart"), m_picture, QStringLiteral("--png"), png,
                    QStringLiteral("--across"), QString::number(across), QStringLiteral("--size"),
                    QStringLiteral("%1x%2").arg(window.width()).arg(window.height())} +
        options);
    QCOMPARE(o.status, 0);
    QCOMPARE(o.err, QString());
    const QImage written(png);
    QCOMPARE(written.size(), window.size());
    QCOMPARE(written.convertToFormat(QImage::Format_RGB32), window);
}

void TestCommandLine::keyCountsStitches() {
    // 45 x 50 stitches: steps of 4, 50 x 50 cells on the picture. The rows of cells at 0, 4 ...
    // 28, eight of them, are white; 42 are red on the left and blue on the right.
    const Outcome o = runArguments({QStringLiteral("--chart"), m_picture, QStringLiteral("--key"),
                                    QStringLiteral("--colors"), QStringLiteral("16")});
    QCOMPARE(o.status, 0);
    const QStringList lines = o.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines[0], QStringLiteral("A #000000 0"));
    QCOMPARE(lines[9], QStringLiteral("J #0000FF 1050"));  // blue: 25 columns x 42 rows
    QCOMPARE(lines[12], QStringLiteral("M #FF0000 1050")); // red
    QCOMPARE(lines[15], QStringLiteral("P #FFFFFF 400"));  // white: 50 columns x 8 rows

    // The automatic palette sets the colours and their number; red and blue fill bins of equal
    // size, and the bin of lower red comes first.
    const Outcome automatic = runArguments(
        {QStringLiteral("--chart"), m_picture, QStringLiteral("--key"), QStringLiteral("--auto")});
    QCOMPARE(automatic.status, 0);
    QCOMPARE(automatic.out, QStringLiteral("A #0000FF 1050\nB #FF0000 1050\nC #FFFFFF 400\n"));
}

void TestCommandLine::printedPageHasOnePage() {
    const QString pdf = m_dir.filePath(QStringLiteral("pagina.pdf"));
    const Outcome o =
        runArguments({QStringLiteral("--chart"), m_picture, QStringLiteral("--pdf"), pdf});
    QCOMPARE(o.status, 0);
    QCOMPARE(pdfPages(pdf), 1);
}

void TestCommandLine::threads_data() {
    // Entries: red, a red a shade off, blue, white. Red and its shade share DMC 606, and on
    // the picture only red is used: 25 columns x 42 rows, as blue; white 50 x 8.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QRgb>("red"); // as the chart shows it
    QTest::addColumn<QRgb>("blue");
    QTest::addColumn<QString>("csv");
    // The list holds the pattern's threads with stitches in the order a shop keeps them: the
    // named B5200 first, then by number.
    const QString matched = QStringLiteral("C,#FFFFFF,B5200,Snow White,0.0,400,1\r\n"
                                           "B,%2,32,Blueberry Dark,14.8,1050,1\r\n"
                                           "A,%1,606,Orange Red Bright,3.0,1050,1\r\n");
    QTest::newRow("named, colours kept")
        << QStringList{} << qRgb(255, 0, 0) << qRgb(0, 0, 255)
        << matched.arg(QStringLiteral("#FF0000"), QStringLiteral("#0000FF"));
    // Snapped, both reds take 606's colour and are one entry; the difference still says how
    // far the thread is from the colour chosen.
    QTest::newRow("snapped to the threads")
        << QStringList{QStringLiteral("--threads"), QStringLiteral("dmc")} << qRgb(250, 50, 3)
        << qRgb(77, 46, 138) << matched.arg(QStringLiteral("#FA3203"), QStringLiteral("#4D2E8A"));
}

void TestCommandLine::threads() {
    QFETCH(QStringList, options);
    QFETCH(QRgb, red);
    QFETCH(QRgb, blue);
    QFETCH(QString, csv);
    const QString palette = m_dir.filePath(QStringLiteral("rossi.col"));
    QFile file(palette);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("255\r\n65790\r\n16711680\r\n16777215\r\n");
    for (int i = 4; i < 16; ++i)
        file.write("0\r\n");
    file.close();

    const QString png = m_dir.filePath(QStringLiteral("fili.png"));
    const QString list = m_dir.filePath(QStringLiteral("spesa.csv"));
    const Outcome o =
        runArguments(QStringList{QStringLiteral("--chart"), m_picture, QStringLiteral("--palette"),
                                 palette, QStringLiteral("--colors"), QStringLiteral("4"),
                                 QStringLiteral("--squares"), QStringLiteral("--png"), png,
                                 QStringLiteral("--key-csv"), list, QStringLiteral("--key")} +
                     options);
    QCOMPARE(o.status, 0);
    QFile written(list);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written.readAll()),
             QStringLiteral("lettera,colore,DMC,nome,differenza,punti,matasse\r\n") + csv);
    // The chart is drawn in the colours the key gives.
    const QImage chart(png);
    QCOMPARE(chart.pixel(50, 300), red);
    QCOMPARE(chart.pixel(300, 300), blue);
    // The text key names the threads only once they shape the chart.
    QCOMPARE(o.out.contains(QStringLiteral(" DMC 606 Orange Red Bright\n")), !options.isEmpty());
}

void TestCommandLine::patternPages_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("pages");
    // 45 x 50 stitches: 50 x 50 cells on one chart page, between the cover and the key.
    QTest::newRow("start-up counts") << QStringList{} << 3;
    // 200 x 200 cells: 4 x 3 chart pages.
    QTest::newRow("150 x 150, letter, black and white")
        << QStringList{QStringLiteral("--across"),   QStringLiteral("150"),
                       QStringLiteral("--down"),     QStringLiteral("150"),
                       QStringLiteral("--paper"),    QStringLiteral("letter"),
                       QStringLiteral("--bw"),       QStringLiteral("--title"),
                       QStringLiteral("Metà e metà")}
        << 14;
    // 8 mm cells: 21 across and 30 down on A4, 3 x 2 pages of the 50 x 50 cells.
    QTest::newRow("large cells, linen, letters, margin")
        << QStringList{QStringLiteral("--cell"),    QStringLiteral("8"),
                       QStringLiteral("--fabric"),  QStringLiteral("28"),
                       QStringLiteral("--over"),    QStringLiteral("2"),
                       QStringLiteral("--margin"),  QStringLiteral("30"),
                       QStringLiteral("--symbols"), QStringLiteral("letters")}
        << 8;
}

void TestCommandLine::patternPages() {
    QFETCH(QStringList, options);
    QFETCH(int, pages);
    const QString pdf = m_dir.filePath(QStringLiteral("schema.pdf"));
    const Outcome o = runArguments(
        QStringList{QStringLiteral("--chart"), m_picture, QStringLiteral("--pattern"), pdf} +
        options);
    QCOMPARE(o.status, 0);
    QCOMPARE(o.err, QString());
    QCOMPARE(pdfPages(pdf), pages);
}

void TestCommandLine::usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says");
    const QString p = QStringLiteral("x.jpg");
    QTest::newRow("unknown option")
        << QStringList{"--chart", p, "--png", "a.png", "--colour", "3"} << "colour";
    QTest::newRow("missing value") << QStringList{"--png", "a.png", "--chart"} << "--chart";
    QTest::newRow("across too large")
        << QStringList{"--chart", p, "--key", "--across", "151"} << "--across";
    QTest::newRow("down not a number")
        << QStringList{"--chart", p, "--key", "--down", "tanti"} << "--down";
    QTest::newRow("no colours") << QStringList{"--chart", p, "--key", "--colors", "0"}
                                << "--colors";
    QTest::newRow("size without height")
        << QStringList{"--chart", p, "--key", "--size", "400"} << "--size";
    QTest::newRow("no output") << QStringList{"--chart", p} << "--png";
    QTest::newRow("no picture") << QStringList{"--png", "a.png"} << "--chart";
    QTest::newRow("palette and auto")
        << QStringList{"--chart", p, "--key", "--auto", "--palette", "c.col"} << "--auto";
    QTest::newRow("pastel without auto")
        << QStringList{"--chart", p, "--key", "--pastel"} << "--auto";
    QTest::newRow("same file twice")
        << QStringList{"--chart", p, "--png", "a", "--pdf", "a"} << "stesso";
    QTest::newRow("stray argument") << QStringList{"--chart", p, "--key", "altro"} << "altro";

    // Outputs naming an input or each other, under other names.
    const QDir d(m_dir.path());
    const auto in = [&d](const char* name) { return d.filePath(QString::fromUtf8(name)); };
    const QString col = in("tavolozza.col");
    QFile(col).open(QIODevice::WriteOnly);
    QFile::link(col, in("sym-tavolozza"));
    QFile::link(QStringLiteral("futura.pdf"), in("futura.png"));
    ::link(QFile::encodeName(m_picture).constData(), QFile::encodeName(in("hard.png")).constData());
    const QString up = in("../%1/metà.bmp").arg(d.dirName());
    const QString m = m_picture;
    QTest::newRow("png names the picture")
        << QStringList{"--chart", m, "--png", m} << "--chart e --png";
    QTest::newRow("png through ..") << QStringList{"--chart", m, "--png", up} << "--chart e --png";
    QTest::newRow("png is a hard link")
        << QStringList{"--chart", m, "--png", in("hard.png")} << "--chart e --png";
    QTest::newRow("pdf is a symbolic link to the palette")
        << QStringList{"--chart", m, "--palette", col, "--pdf", in("sym-tavolozza")}
        << "--palette e --pdf";
    QTest::newRow("png links to where the pdf will go")
        << QStringList{"--chart", m, "--png", in("futura.png"), "--pdf", in("futura.pdf")}
        << "--png e --pdf";
    QTest::newRow("unknown paper")
        << QStringList{"--chart", p, "--pattern", "s.pdf", "--paper", "A3"} << "--paper";
    QTest::newRow("fabric too fine")
        << QStringList{"--chart", p, "--pattern", "s.pdf", "--fabric", "41"} << "--fabric";
    QTest::newRow("fabric too coarse")
        << QStringList{"--chart", p, "--key-csv", "k.csv", "--fabric", "5"} << "--fabric";
    QTest::newRow("seven strands")
        << QStringList{"--chart", p, "--pattern", "s.pdf", "--strands", "7"} << "--strands";
    QTest::newRow("cells too small")
        << QStringList{"--chart", p, "--pattern", "s.pdf", "--cell", "2,4"} << "--cell";
    QTest::newRow("margin over 100")
        << QStringList{"--chart", p, "--key-csv", "k.csv", "--margin", "101"} << "--margin";
    QTest::newRow("over three") << QStringList{"--chart", p, "--pattern", "s.pdf", "--over", "3"}
                                << "--over";
    QTest::newRow("other symbols")
        << QStringList{"--chart", p, "--pattern", "s.pdf", "--symbols", "greek"} << "--symbols";
    QTest::newRow("black and white without pattern")
        << QStringList{"--chart", p, "--png", "a.png", "--bw"} << "--bw";
    QTest::newRow("title without pattern")
        << QStringList{"--chart", p, "--key-csv", "k.csv", "--title", "x"} << "--title";
    QTest::newRow("strands without pattern or list")
        << QStringList{"--chart", p, "--key", "--strands", "3"} << "--strands";
    QTest::newRow("other threads")
        << QStringList{"--chart", p, "--key", "--threads", "coats"} << "coats";
    QTest::newRow("option twice") << QStringList{"--chart", p, "--pattern", "s.pdf", "--bw", "--bw"}
                                  << "--bw";
    QTest::newRow("pattern over the picture")
        << QStringList{"--chart", p, "--pattern", p} << "stesso";
    QTest::newRow("list over the pattern")
        << QStringList{"--chart", p, "--pattern", "s.pdf", "--key-csv", "s.pdf"} << "stesso";
    QTest::newRow("no stitches") << QStringList{"--chart", p, "--oxs", "s.oxs", "--stitches", "0"}
                                 << "--stitches";
    QTest::newRow("too many stitches")
        << QStringList{"--chart", p, "--oxs", "s.oxs", "--stitches", "600"} << "--stitches";
    QTest::newRow("stitches without a height")
        << QStringList{"--chart", p, "--oxs", "s.oxs", "--stitches", "10x"} << "--stitches";
    QTest::newRow("61 threads") << QStringList{"--chart",         p,   "--oxs", "s.oxs",
                                               "--thread-colors", "61"}
                                << "--thread-colors";
    QTest::newRow("clean 3") << QStringList{"--chart", p, "--oxs", "s.oxs", "--clean", "3"}
                             << "--clean";
    QTest::newRow("background not a colour")
        << QStringList{"--chart", p, "--oxs", "s.oxs", "--background", "12345G"} << "--background";
    QTest::newRow("unknown second maker")
        << QStringList{"--chart", p, "--key-csv", "k.csv", "--also", "dmx"} << "--also";
    QTest::newRow("stitches without a pattern output")
        << QStringList{"--chart", p, "--png", "a.png", "--stitches", "40"} << "--stitches";
    QTest::newRow("oxs over the picture") << QStringList{"--chart", p, "--oxs", p} << "stesso";
    QTest::newRow("chart of an oxs file")
        << QStringList{"--chart", "a.oxs", "--png", "a.png"} << "--png";
    QTest::newRow("an oxs file stitched anew")
        << QStringList{"--chart", "a.oxs", "--oxs", "b.oxs", "--stitches", "40"} << "--stitches";
    QFile::link(QStringLiteral("catena2.csv"), in("catena1.csv"));
    QFile::link(QStringLiteral("nuova.pdf"), in("catena2.csv"));
    QTest::newRow("list through links to the pattern's new file")
        << QStringList{"--chart", m, "--pattern", in("nuova.pdf"), "--key-csv", in("catena1.csv")}
        << "--pattern e --key-csv";

    // An empty file name is a mistake, for every option that takes one.
    QTest::newRow("empty png") << QStringList{"--chart", p, "--png", ""} << "--png";
    QTest::newRow("empty palette, with auto")
        << QStringList{"--chart", p, "--key", "--auto", "--palette", ""} << "--palette";
    QTest::newRow("empty picture") << QStringList{"--png", "a.png", "--chart", ""} << "--chart";
    QTest::newRow("line break in a value")
        << QStringList{"--chart", p, "--pattern", "s.pdf", "--paper", "A4\nx"} << "\"A4\\nx\"";
}

void TestCommandLine::stitchedPattern_data() {
    // The picture is 300 x 200: a white band on top, red on the left, blue on the right.
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("size"); // of the OXS chart
    QTest::addColumn<int>("threads");
    QTest::newRow("the chart's cells") << QStringList{} << "50 x 50" << 3;
    QTest::newRow("width alone, proportional height")
        << QStringList{"--stitches", "120"} << "120 x 80" << 3;
    QTest::newRow("both, centred crop") << QStringList{"--stitches", "40x40"} << "40 x 40" << 3;
    QTest::newRow("threads chosen")
        << QStringList{"--stitches", "30", "--thread-colors", "2"} << "30 x 20" << 2;
    QTest::newRow("white band left unstitched")
        << QStringList{"--stitches", "30", "--background", "#FFFFFF"} << "30 x 20" << 2;
    QTest::newRow("Anchor, with DMC beside")
        << QStringList{"--stitches", "30", "--threads", "anchor", "--also", "dmc"} << "30 x 20"
        << 3;
}

void TestCommandLine::stitchedPattern() {
    // The pattern written as OXS has the size asked, is read back as it was written, and a
    // pattern read from OXS writes the same file again, byte for byte.
    QFETCH(QStringList, options);
    QFETCH(QString, size);
    QFETCH(int, threads);
    const QString first = m_dir.filePath(QStringLiteral("prima.oxs"));
    const QString second = m_dir.filePath(QStringLiteral("seconda.oxs"));
    const QString csv = m_dir.filePath(QStringLiteral("spesa.csv"));
    Outcome o =
        runArguments(QStringList{QStringLiteral("--chart"), m_picture, QStringLiteral("--oxs"),
                                 first, QStringLiteral("--key-csv"), csv} +
                     options);
    QCOMPARE(o.status, 0);
    QFile written(first);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    const auto read = document::readOxs(bytes, stitching::Brand::Dmc);
    QVERIFY(read.chart);
    QCOMPARE(QStringLiteral("%1 x %2")
                 .arg(read.chart->pattern.grid.columns())
                 .arg(read.chart->pattern.grid.rows()),
             size);
    QCOMPARE(int(read.chart->pattern.entries.size()), threads);
    // Each thread is marked in the file by its symbol on the pattern's pages, none twice.
    QStringList symbols;
    const QRegularExpression symbol(QStringLiteral("symbol=\"([^\"]*)\""));
    for (auto it = symbol.globalMatch(QString::fromUtf8(bytes)); it.hasNext();)
        symbols << it.next().captured(1);
    QCOMPARE(symbols.size(), threads);
    QCOMPARE(symbols.size(), QSet<QString>(symbols.begin(), symbols.end()).size());
    for (const QString& s : symbols)
        QVERIFY2(std::find(document::distinctSymbols().begin(), document::distinctSymbols().end(),
                           s) != document::distinctSymbols().end(),
                 qPrintable(s));
    QFile list(csv);
    QVERIFY(list.open(QIODevice::ReadOnly));
    QCOMPARE(list.readAll().count("\r\n"), threads + 1);

    o = runArguments({QStringLiteral("--chart"), first, QStringLiteral("--oxs"), second});
    QCOMPARE(o.status, 0);
    QFile again(second);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), bytes);
}

void TestCommandLine::usageErrors() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    const Outcome o = runArguments(arguments);
    QCOMPARE(o.status, batch::kUsageError);
    QVERIFY2(o.err.contains(says), qPrintable(o.err));
    QVERIFY(!o.err.contains(u'\n'));
}

void TestCommandLine::defaultSizeKeepsWithinTheCap_data() {
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QSize>("size");
    QTest::newRow("start-up counts") << 45 << 50 << QSize(400, 444);
    QTest::newRow("tall, just within") << 1 << 10 << QSize(400, 4000);
    QTest::newRow("tall, just beyond") << 1 << 11 << QSize(363, 4000);
    QTest::newRow("tallest") << 1 << 150 << QSize(26, 4000);
}

void TestCommandLine::defaultSizeKeepsWithinTheCap() {
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QSize, size);
    batch::ChartRequest request;
    request.across = across;
    request.down = down;
    QCOMPARE(batch::surfaceSize(request), size);
}

void TestCommandLine::fileErrorsLeaveNothingHalfWritten() {
    const QString png = m_dir.filePath(QStringLiteral("mai.png"));
    const auto failsWith = [&](const QStringList& arguments, const QString& says) {
        const Outcome o = runArguments(arguments);
        QCOMPARE(o.status, batch::kFileError);
        QVERIFY2(o.err.contains(says), qPrintable(o.err));
        QVERIFY(!QFile::exists(png));
    };

    failsWith({QStringLiteral("--chart"), m_dir.filePath(QStringLiteral("manca.jpg")),
               QStringLiteral("--png"), png},
              QStringLiteral("manca.jpg: file non trovato"));
    QFile text(m_dir.filePath(QStringLiteral("testo.jpg")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("non sono una foto");
    text.close();
    failsWith({QStringLiteral("--chart"), text.fileName(), QStringLiteral("--png"), png},
              QStringLiteral("testo.jpg: non è un'immagine jpg, gif o bmp"));

    // Surfaces that cannot be had.
    batch::ChartRequest huge;
    huge.picture = m_picture;
    huge.png = png;
    huge.size = QSize(INT_MAX, INT_MAX);
    QString err;
    QTextStream out(stdout), errors(&err);
    QCOMPARE(batch::run(huge, out, errors), batch::kFileError);
    errors.flush();
    QCOMPARE(err, QStringLiteral("trameda: memoria insufficiente\n"));
    QVERIFY(!QFile::exists(png));

    QFile palette(m_dir.filePath(QStringLiteral("corta.col")));
    QVERIFY(palette.open(QIODevice::WriteOnly));
    palette.write(" 255 \r\n 0 \r\n");
    palette.close();
    failsWith({QStringLiteral("--chart"), m_picture, QStringLiteral("--png"), png,
               QStringLiteral("--palette"), palette.fileName()},
              QStringLiteral("corta.col"));

    // Outputs that cannot be written: a folder that does not exist, a path that is a folder.
    const Outcome noFolder =
        runArguments({QStringLiteral("--chart"), m_picture, QStringLiteral("--png"),
                      m_dir.filePath(QStringLiteral("manca/x.png"))});
    QCOMPARE(noFolder.status, batch::kFileError);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("manca/x.png"))));
    const Outcome noPatternFolder =
        runArguments({QStringLiteral("--chart"), m_picture, QStringLiteral("--pattern"),
                      m_dir.filePath(QStringLiteral("manca/s.pdf"))});
    QCOMPARE(noPatternFolder.status, batch::kFileError);
    QVERIFY(noPatternFolder.err.contains(QStringLiteral("manca/s.pdf")));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("cartella.pdf")));
    const Outcome folder =
        runArguments({QStringLiteral("--chart"), m_picture, QStringLiteral("--pdf"),
                      m_dir.filePath(QStringLiteral("cartella.pdf"))});
    QCOMPARE(folder.status, batch::kFileError);
    QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("cartella.pdf"))).isDir());
    const Outcome folderPattern =
        runArguments({QStringLiteral("--chart"), m_picture, QStringLiteral("--pattern"),
                      m_dir.filePath(QStringLiteral("cartella.pdf"))});
    QCOMPARE(folderPattern.status, batch::kFileError);
    QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("cartella.pdf"))).isDir());
    const QStringList pdfs = QDir(m_dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    for (const QString& name : pdfs) // those the earlier tests wrote, and no other
        QVERIFY2(name == QStringLiteral("pagina.pdf") || name == QStringLiteral("schema.pdf"),
                 qPrintable(name));
}

void TestCommandLine::realProgramWithoutDisplay() {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(env);
    const QString png = m_dir.filePath(QStringLiteral("processo.png"));
    program.start(QStringLiteral(TRAMEDA_EXECUTABLE),
                  {QStringLiteral("--chart"), m_picture, QStringLiteral("--png"), png,
                   QStringLiteral("--key")});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardError(), QByteArray());
    QVERIFY(program.readAllStandardOutput().startsWith("A #000000 0\n"));
    QCOMPARE(QImage(png).size(), QSize(400, 444));

    program.start(QStringLiteral(TRAMEDA_EXECUTABLE), {QStringLiteral("--nessuna")});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), batch::kUsageError);
    QCOMPARE(program.readAllStandardError(), QByteArray("trameda: opzione sconosciuta: nessuna\n"));

    // A key that cannot be written is a failure.
    program.setStandardOutputFile(QStringLiteral("/dev/full"));
    program.start(QStringLiteral(TRAMEDA_EXECUTABLE),
                  {QStringLiteral("--chart"), m_picture, QStringLiteral("--key")});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), batch::kFileError);
    QCOMPARE(program.readAllStandardError(),
             QByteArray("trameda: impossibile scrivere sullo standard output: disco pieno\n"));
}

// The manual page is written by hand, so an option added to (or dropped from) the table must be
// carried over to its OPZIONI: there every entry opens with the option in bold. --help comes from
// the same table and lists every row.
void TestCommandLine::manualPageListsTheOptionsOfHelp() {
    const Parsed help = batch::parse({QStringLiteral("trameda"), QStringLiteral("--help")});
    QCOMPARE(help.action, Parsed::Action::Help);
    QStringList inTable;
    for (const batch::Option& option : batch::options()) {
        inTable << QStringLiteral("--") + option.name;
        QVERIFY2(help.text.contains(QStringLiteral("\n  --") + option.name),
                 qPrintable(option.name));
    }

    QFile page(QStringLiteral(TRAMEDA_MANUAL_PAGE));
    QVERIFY(page.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text =
        QString::fromUtf8(page.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const QString options =
        text.section(QStringLiteral("\n.SH OPZIONI\n"), 1).section(QStringLiteral("\n.SH "), 0, 0);
    QStringList inPage;
    for (const auto& match : QRegularExpression(QStringLiteral("^\\.TP\n\\.BI? (--[a-z-]+)"),
                                                QRegularExpression::MultilineOption)
                                 .globalMatch(options))
        inPage << match.captured(1);

    QVERIFY(inTable.size() > 10);
    inTable.sort();
    inPage.sort();
    QCOMPARE(inPage, inTable);
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
