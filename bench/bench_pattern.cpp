// Times the stitching engine and the pattern outputs made from it, on a 24-megapixel photo: the
// engine alone on the decoded picture, then the real program as a user runs it (wall time and
// peak memory of each run), beside a `--key` run of the same photo as the yardstick.
//
//   trameda_bench_pattern [repetitions] [photo]
//
// Medians are printed; peak memory is the largest of the runs.
#include "photos.h"
#include "picture/picture.h"
#include "stitching/pattern.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace trameda;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Run {
    double milliseconds = -1;
    long megabytes = -1;
};

// The program run once with `arguments`, its own peak memory read from the kernel's account of
// that one child.
Run runProgram(const QStringList& arguments) {
    std::vector<QByteArray> bytes{QByteArrayLiteral(TRAMEDA_EXECUTABLE)};
    for (const QString& a : arguments)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    Run run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
            WEXITSTATUS(status) == 0) {
            run.milliseconds = double(timer.nsecsElapsed()) / 1e6;
            run.megabytes = usage.ru_maxrss / 1024;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

void printLine(QTextStream& out, const QString& name, double value, const char* unit) {
    out << qSetFieldWidth(60) << Qt::left << name << qSetFieldWidth(0) << Qt::fixed
        << qSetRealNumberPrecision(unit[0] == 'M' ? 0 : 1) << value << ' ' << unit << '\n';
    out.flush();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString photo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : benchPhoto(24);
    QTextStream out(stdout);
    out << photo << ", " << repetitions << " repetitions, median\n";

    // The engine alone, on the picture as the program decodes it.
    const Picture picture = LoadPicture(photo);
    struct EngineCase {
        const char* name;
        int across;
        int colours;
    };
    for (const EngineCase& c : {EngineCase{"engine 300 wide, 40 DMC threads, clean 1", 300, 40},
                                EngineCase{"engine 500 x 500, 60 DMC threads, clean 2", 500, 60}}) {
        stitching::StitchOptions options;
        options.across = c.across;
        options.down = c.across == 500 ? 500 : 0;
        options.threadColours = c.colours;
        options.clean = c.across == 500 ? 2 : 1;
        std::vector<double> times;
        for (int i = 0; i < repetitions; ++i) {
            QElapsedTimer timer;
            timer.start();
            const auto made = stitching::makePattern(picture.image(), {}, options, {},
                                                      picture.proportions());
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (!made.pattern)
                return 1;
        }
        printLine(out, QString::fromLatin1(c.name), median(times), "ms");
    }

    // The program as a user runs it.
    QTemporaryDir temp;
    const QString pdf = QDir(temp.path()).filePath(QStringLiteral("schema.pdf"));
    struct ProgramCase {
        const char* name;
        QStringList arguments;
    };
    const ProgramCase cases[] = {
        {"--key (the yardstick)", {QStringLiteral("--key")}},
        {"--stitches 300 --thread-colors 40 --clean 1 --pattern",
         {QStringLiteral("--stitches"), QStringLiteral("300"), QStringLiteral("--threads"),
          QStringLiteral("dmc"), QStringLiteral("--thread-colors"), QStringLiteral("40"),
          QStringLiteral("--clean"), QStringLiteral("1"), QStringLiteral("--pattern"), pdf}},
        {"--stitches 500x500 --thread-colors 60 --pattern",
         {QStringLiteral("--stitches"), QStringLiteral("500x500"), QStringLiteral("--thread-colors"),
          QStringLiteral("60"), QStringLiteral("--pattern"), pdf}},
    };
    for (const ProgramCase& c : cases) {
        std::vector<double> times;
        long peak = 0;
        for (int i = 0; i < repetitions; ++i) {
            const Run run = runProgram(QStringList{QStringLiteral("--chart"), photo} + c.arguments);
            if (run.milliseconds < 0) {
                out << c.name << ": the program failed\n";
                break;
            }
            times.push_back(run.milliseconds);
            peak = std::max(peak, run.megabytes);
        }
        if (times.empty())
            continue;
        printLine(out, QString::fromLatin1(c.name), median(times), "ms");
        printLine(out, QString::fromLatin1(c.name) + QStringLiteral(", peak memory"), double(peak),
                  "MB");
    }
    return 0;
}
