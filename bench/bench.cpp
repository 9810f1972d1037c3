// Times the conversion in the window, repaints at every column included: the default grid and the
// largest, crosses with grid and letters and squares alone, and the largest printed to PDF. Then
// the pattern document from the command line, 150 x 150 stitches from a 24-megapixel photo (time
// and, in a child process, peak memory), and matching 16 colours to the DMC threads.
//
//   trameda_bench [repetitions] [picture] [only cases whose name holds this]
//
// Without a picture (or with ""), a colourful one is drawn into a temporary folder. Medians are
// printed.
#include "app/application.h"
#include "batch/run.h"
#include "app/form1.h"
#include "document/key.h"
#include "photos.h"
#include "runtime/printer.h"
#include "quietdialogs.h"
#include "threads/threadtable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace trameda;

namespace {

QString drawPicture(const QString& folder) {
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 640, 480);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(0.5, Qt::yellow);
    gradient.setColorAt(1, Qt::darkRed);
    p.fillRect(image.rect(), gradient);
    p.setBrush(Qt::green);
    p.drawEllipse(QPoint(200, 240), 150, 120);
    p.setBrush(Qt::magenta);
    p.drawRect(380, 60, 180, 140);
    p.end();
    const QString path = QDir(folder).filePath(QStringLiteral("bench.jpg"));
    image.save(path);
    return path;
}

struct Case {
    const char* name;
    int across;
    int down;
    bool squares;
    bool grid;
    bool letters;
    bool print;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// What `trameda --chart PHOTO --across 150 --down 150 --pattern FILE` does.
int writePattern(const QString& pdf) {
    batch::ChartRequest request;
    request.picture = benchPhoto(24);
    request.across = 150;
    request.down = 150;
    request.pattern = pdf;
    QString ignored;
    QTextStream out(&ignored);
    QTextStream err(stderr);
    return batch::run(request, out, err);
}

void printLine(QTextStream& out, const char* name, double value, const char* unit) {
    out << qSetFieldWidth(48) << Qt::left << name << qSetFieldWidth(0) << Qt::fixed
        << qSetRealNumberPrecision(unit[0] == 'M' ? 0 : 2) << value << ' ' << unit << '\n';
    out.flush();
}

void patternCases(QTextStream& out, int repetitions, const QString& folder, const QString& only) {
    const QString pdf = QDir(folder).filePath(QStringLiteral("schema.pdf"));
    if (QStringLiteral("pattern 150 x 150, 24 MP photo").contains(only)) {
        benchPhoto(24);
        std::vector<double> times;
        for (int i = 0; i < std::max(3, repetitions / 3); ++i) {
            QElapsedTimer timer;
            timer.start();
            if (writePattern(pdf) != 0)
                return;
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        printLine(out, "pattern 150 x 150, 24 MP photo", median(times), "ms");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--pattern-child"), pdf});
        child.waitForFinished(-1);
        printLine(out, "pattern 150 x 150, 24 MP photo, peak memory",
                  child.readAllStandardOutput().trimmed().toDouble(), "MB");
    }
    if (QStringLiteral("matching 16 colours to DMC").contains(only)) {
        std::vector<Colour> colours;
        for (int i = 0; i < 16; ++i)
            colours.push_back(QBColor(i));
        QElapsedTimer timer;
        timer.start();
        const threads::ThreadTable& table = threads::ThreadTable::dmc();
        printLine(out, "reading the DMC table (once)", double(timer.nsecsElapsed()) / 1e6, "ms");
        std::vector<double> times;
        for (int i = 0; i < std::max(15, repetitions); ++i) {
            timer.restart();
            const auto matches = document::matchThreads(colours, table);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (matches.size() != colours.size())
                return;
        }
        printLine(out, "matching 16 colours to DMC", median(times), "ms");
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    prepareApplication();
    // Child process: one pattern, then the peak memory it took.
    if (argc > 2 && QByteArray(argv[1]) == "--pattern-child") {
        const int status = writePattern(QString::fromLocal8Bit(argv[2]));
        std::printf("%ld\n", status == 0 ? peakResidentMegabytes() : -1L);
        return status;
    }
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 15;
    QTemporaryDir temp;
    const QString picture = argc > 2 && argv[2][0] != 0
                                ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath()
                                : drawPicture(temp.path());

    QuietDialogs dialogs;
    Form1 form(dialogs);
    form.show();
    QApplication::processEvents();
    form.File1->setPath(QFileInfo(picture).absolutePath());
    const auto items = form.File1->findItems(QFileInfo(picture).fileName(), Qt::MatchExactly);
    if (items.isEmpty()) {
        std::fprintf(stderr, "no picture %s\n", qPrintable(picture));
        return 1;
    }
    form.File1->setCurrentItem(items.first());
    form.File1_Click();
    form.setPrintOutput(std::make_unique<PdfPrintOutput>(temp.path()));

    const Case cases[] = {
        {"51 x 51 cells, crosses, grid, letters", 45, 50, false, true, true, false},
        {"51 x 51 cells, squares alone", 45, 50, true, false, false, false},
        {"201 x 201 cells, crosses, grid, letters", 150, 150, false, true, true, false},
        {"201 x 201 cells, squares alone", 150, 150, true, false, false, false},
        {"201 x 201 cells, crosses, grid, letters, PDF", 150, 150, false, true, true, true},
        // Where the time goes, one element at a time.
        {"201 x 201 cells, crosses alone", 150, 150, false, false, false, false},
        {"201 x 201 cells, squares and grid", 150, 150, true, true, false, false},
        {"201 x 201 cells, squares and letters", 150, 150, true, false, true, false},
    };
    QTextStream out(stdout);
    out << "platform " << QApplication::platformName() << ", chart surface "
        << form.Picture1[0]->image().width() << " x " << form.Picture1[0]->image().height()
        << " pixels, " << repetitions << " repetitions, median\n";
    const QString only = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    for (const Case& c : cases) {
        if (!QString::fromLatin1(c.name).contains(only))
            continue;
        assignValue(form.HScroll1[2], c.across);
        assignValue(form.HScroll1[3], c.down);
        form.Check1->setChecked(c.letters);
        form.Check3->setChecked(c.grid);
        // After Check1, whose click selects the squares.
        (c.squares ? form.Option1 : form.Option2)->setChecked(true);
        form.Check2->setChecked(c.print);
        QApplication::processEvents();
        std::vector<double> times;
        const int runs = c.print ? std::max(1, repetitions / 3) : repetitions;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            form.run([&form] { form.Command2_Click(); });
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        out << qSetFieldWidth(48) << Qt::left << c.name << qSetFieldWidth(0) << Qt::fixed
            << qSetRealNumberPrecision(1) << median(times) << " ms\n";
        out.flush();
    }
    patternCases(out, repetitions, temp.path(), only);
    return 0;
}
