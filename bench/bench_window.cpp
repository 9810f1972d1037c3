// Rerunnable timings of the window's picture work: start-up until the window is shown, the first
// load of large photos, a stitch-count change with each loaded, and the peak memory of a run with
// a 100-megapixel photo. Photos are generated (noise and gradients, so JPEG has real work) into a
// cache folder on the first run.
//
//   build/release/bench/bench_window [--repeat N]
#include "app/application.h"
#include "app/form1.h"
#include "photos.h"
#include "quietdialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace trameda;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void selectFile(Form1& form, const QString& path) {
    form.File1->setPath(QFileInfo(path).absolutePath());
    const auto items = form.File1->findItems(QFileInfo(path).fileName(), Qt::MatchExactly);
    form.File1->setCurrentItem(items.first());
}

// Child process: the window with the photo loaded, reporting its peak memory.
int peakMemoryChild(const QString& path) {
    QuietDialogs dialogs;
    Form1 form(dialogs);
    form.show();
    QApplication::processEvents();
    selectFile(form, path);
    assignValue(form.HScroll1[2], 46);
    QApplication::processEvents();
    std::printf("%ld\n", peakResidentMegabytes());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    prepareApplication();

    QCommandLineParser parser;
    parser.addOption({QStringLiteral("repeat"), QStringLiteral("Repetitions."), QStringLiteral("N"),
                      QStringLiteral("7")});
    parser.addOption(
        {QStringLiteral("peak-child"), QStringLiteral("internal"), QStringLiteral("FILE")});
    parser.process(app);
    if (parser.isSet(QStringLiteral("peak-child")))
        return peakMemoryChild(parser.value(QStringLiteral("peak-child")));
    const int repeat = std::max(1, parser.value(QStringLiteral("repeat")).toInt());

    QuietDialogs dialogs;
    {
        Form1 form(dialogs);
        form.show();
        while (!form.windowHandle() || !form.windowHandle()->isExposed())
            QApplication::processEvents();
        std::printf("start-up until the window is shown: %.1f ms (from main)\n",
                    sinceMain.nsecsElapsed() / 1e6);
    }

    for (int megapixels : {12, 24, 48}) {
        const QString path = benchPhoto(megapixels);
        std::vector<double> loads, changes;
        for (int r = 0; r < repeat; ++r) {
            Form1 form(dialogs);
            {
                // A changed file is decoded anew, as on its first load.
                QFile file(path);
                file.open(QIODevice::ReadWrite);
                file.setFileTime(QDateTime::currentDateTime().addSecs(-r - 10),
                                 QFileDevice::FileModificationTime);
            }
            QElapsedTimer timer;
            timer.start();
            selectFile(form, path);
            loads.push_back(timer.nsecsElapsed() / 1e6);
            // A stitch-count change repaints the picture three times at new sizes.
            timer.restart();
            assignValue(form.HScroll1[2], 40 + r);
            changes.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf(
            "%2d MP photo: first load %.1f ms, stitch-count change %.1f ms (medians of %d)\n",
            megapixels, median(loads), median(changes), repeat);
    }

    {
        // The automatic palette samples a fixed grid, whatever the picture.
        Form1 form(dialogs);
        selectFile(form, benchPhoto(24));
        std::vector<double> runs;
        for (int r = 0; r < repeat; ++r) {
            form.Check4->setChecked(r % 2 == 1);
            QElapsedTimer timer;
            timer.start();
            form.Command7_Click();
            runs.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("automatic palette: %.2f ms (median of %d)\n", median(runs), repeat);
    }

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--peak-child"), benchPhoto(100)});
    child.waitForFinished(-1);
    std::printf("peak memory with a 100 MP photo loaded: %s MB\n",
                child.readAllStandardOutput().trimmed().constData());
    return 0;
}
