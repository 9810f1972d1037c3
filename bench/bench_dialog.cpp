// Times the pattern dialog's preview on a 24-megapixel photo: from a change of an option that
// changes the stitches to the preview and figures shown for it, in the real dialog (offscreen),
// beside the stitching engine alone on the same picture and options, measured in the same run.
//
//   QT_QPA_PLATFORM=offscreen trameda_bench_dialog [repetitions] [photo]
//
// Medians are printed.
#include "app/patterndialog.h"
#include "photos.h"
#include "picture/picture.h"
#include "quietdialogs.h"
#include "runtime/colour.h"
#include "stitching/pattern.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <functional>
#include <vector>

using namespace trameda;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void printLine(QTextStream& out, const QString& name, double value) {
    out << qSetFieldWidth(64) << Qt::left << name << qSetFieldWidth(0) << Qt::fixed
        << qSetRealNumberPrecision(1) << value << " ms\n";
    out.flush();
}

// Milliseconds from `change` until the dialog shows a pattern up to date with its options.
double untilShown(PatternDialog& dialog, const std::function<void()>& change) {
    QElapsedTimer timer;
    timer.start();
    change();
    while (!dialog.outputs())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 7;
    const QString photo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : benchPhoto(24);
    QTextStream out(stdout);
    out << photo << ", " << repetitions << " repetitions, median\n";

    PatternStart start;
    start.picture = photo;
    for (int i = 0; i < 8; ++i)
        start.swatches.push_back(toQRgb(QBColor(i)));
    start.across = 150;
    start.down = 150;

    QuietDialogs dialogs;
    QWidget window;
    std::vector<double> opening;
    for (int i = 0; i <= repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        auto* dialog = new PatternDialog(&window, dialogs, start);
        while (!dialog->outputs())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        opening.push_back(double(timer.nsecsElapsed()) / 1e6);
        delete dialog;
    }
    // The first opening decodes the photo; later ones find it decoded already.
    printLine(out, QStringLiteral("dialog opened, 150 wide, 8 swatches, photo decoded"),
              opening.front());
    opening.erase(opening.begin());
    if (!opening.empty())
        printLine(out, QStringLiteral("dialog opened again, until shown"), median(opening));

    // The engine alone, the picture decoded once, as the dialog keeps it.
    const Picture picture = LoadPicture(photo);
    const auto engine = [&](const stitching::StitchOptions& options) {
        std::vector<double> times;
        for (int i = 0; i < repetitions; ++i) {
            QElapsedTimer timer;
            timer.start();
            const auto made = stitching::makePattern(picture.image(), start.swatches, options,
                                                      {}, picture.proportions());
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        return median(times);
    };

    PatternDialog dialog(&window, dialogs, start);
    dialog.show();
    auto* across = dialog.findChild<QSpinBox*>(QStringLiteral("across"));
    auto* down = dialog.findChild<QSpinBox*>(QStringLiteral("down"));
    auto* linked = dialog.findChild<QCheckBox*>(QStringLiteral("linked"));
    auto* colours = dialog.findChild<QComboBox*>(QStringLiteral("colours"));
    auto* threads = dialog.findChild<QSpinBox*>(QStringLiteral("threadColours"));
    auto* clean = dialog.findChild<QComboBox*>(QStringLiteral("clean"));
    untilShown(dialog, [&] {
        linked->setChecked(false);
        across->setValue(300);
        down->setValue(300);
    });

    stitching::StitchOptions options = dialog.options().stitch;
    const double swatchesEngine = engine(options);
    std::vector<double> swatches;
    for (int i = 0; i < repetitions; ++i)
        swatches.push_back(untilShown(dialog, [&] { clean->setCurrentIndex(i % 2 ? 1 : 2); }));
    printLine(out, QStringLiteral("engine alone, 300 x 300, 8 swatches"), swatchesEngine);
    printLine(out, QStringLiteral("preview, 300 x 300, 8 swatches, clean-up changed"),
              median(swatches));

    untilShown(dialog, [&] {
        colours->setCurrentIndex(1);
        threads->setValue(40);
    });
    options = dialog.options().stitch;
    const double threadsEngine = engine(options);
    std::vector<double> chosen;
    for (int i = 0; i < repetitions; ++i)
        chosen.push_back(untilShown(dialog, [&] { threads->setValue(i % 2 ? 40 : 41); }));
    printLine(out, QStringLiteral("engine alone, 300 x 300, 40 DMC threads chosen"),
              threadsEngine);
    printLine(out, QStringLiteral("preview, 300 x 300, 40 DMC threads, count changed"),
              median(chosen));

    // A slider dragged: ten changes as fast as the events come, timed to the last one shown.
    std::vector<double> dragged;
    for (int i = 0; i < repetitions; ++i)
        dragged.push_back(untilShown(dialog, [&] {
            for (int step = 1; step <= 10; ++step) {
                threads->setValue(40 + step);
                QCoreApplication::processEvents();
                QThread::msleep(20);
            }
        }));
    printLine(out, QStringLiteral("preview, ten changes 20 ms apart, until the last shown"),
              median(dragged));
    return 0;
}
