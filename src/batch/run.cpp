#include "run.h"

#include "chartjob.h"
#include "document/key.h"
#include "document/patternpdf.h"
#include "files/names.h"
#include "files/safewrite.h"
#include "outputs.h"
#include "palette/autopalette.h"
#include "palette/colfile.h"
#include "picture/picture.h"
#include "runtime/runtimeerror.h"
#include "threads/threadtable.h"

#include <QFileInfo>
#include <QTextStream>
#include <new>
#include <span>
#include <vector>

namespace trameda::batch {

namespace {

int chart(const ChartRequest& request, QTextStream& out, QTextStream& err) {
    // An output that can never be written is refused before any work is done.
    if (const auto why = unwritableOutput(request)) {
        err << *why << Qt::endl;
        return kFileError;
    }

    // Unlike the window, a run without one never goes on with a blank picture.
    Picture picture;
    try {
        picture = LoadPicture(request.picture);
    } catch (const RuntimeError& e) {
        err << "trameda: " << shownName(request.picture) << ": " << failureCause(e) << Qt::endl;
        return kFileError;
    }

    ChartSettings settings{request.across,  request.down,    {},
                           request.colours, request.squares, request.grid,
                           request.letters, request.pdf};
    std::array<Colour, 16>& swatches = settings.swatches;
    for (int i = 0; i < 16; ++i)
        swatches[std::size_t(i)] = QBColor(i);
    if (!request.palette.isEmpty()) {
        const palette::ColFileRead read = palette::readColFile(request.palette);
        if (!read.ok()) {
            err << "trameda: " << palette::describeFailure(read, shownName(request.palette))
                << Qt::endl;
            return kFileError;
        }
        swatches = read.colours;
    }

    ChartSurfaces surfaces(surfaceSize(request), picture);
    if (request.autoPalette) {
        const palette::AutoPalette chosen =
            palette::autoPalette(surfaces.source, {request.many, request.pastel});
        swatches = chosen.swatches;
        if (!request.coloursGiven)
            settings.colours = chosen.count;
    }

    // The threads of the entries in use, matched to the colours as chosen; with --threads the
    // entries then take their threads' colours for the whole conversion.
    const document::PatternOptions& options = request.options;
    const bool snap = options.stitch.snap;
    const std::span<Colour> inUse(swatches.data(), std::size_t(std::min(settings.colours, 16)));
    const bool namesThreads = snap || !request.pattern.isEmpty();
    const threads::ThreadTable* table = nullptr;
    std::vector<threads::ThreadMatch> matches;
    if (namesThreads || !request.keyCsv.isEmpty()) {
        table = &threads::ThreadTable::dmc();
        matches = document::matchThreads(inUse, *table);
        if (snap)
            document::snapToThreads(inUse, matches, *table);
    }

    ChartResult chart;
    try {
        chart = makeChart(settings, surfaces);
    } catch (const RuntimeError& e) {
        // The page's file names itself in the error, and why it could not be written.
        if (e.code() == RuntimeError::PrinterError)
            err << "trameda: impossibile scrivere "
                << shownName(e.detail().isEmpty() ? request.pdf : e.detail()) << Qt::endl;
        else
            err << "trameda: " << e.description() << Qt::endl;
        return kFileError;
    }

    if (!request.png.isEmpty() && !writePng(request.png, chart.image, err))
        return kFileError;

    const document::KeySettings keySettings{options.fabric, options.over, options.strands,
                                            options.margin};
    const document::Key key = document::makeKey(inUse, matches, chart.stitches, keySettings);
    if (!request.pattern.isEmpty()) {
        const document::Pattern pattern{
            options.title.isEmpty() ? shownName(QFileInfo(request.picture).fileName())
                                    : options.title,
            chart.stitches,
            inUse,
            key,
            *table,
            keySettings,
            options.paper,
            options.cell,
            options.symbols,
            options.blackAndWhite,
            snap};
        if (!writePattern(request.pattern, pattern, err))
            return kFileError;
    }
    if (!request.keyCsv.isEmpty() && !writeKeyCsv(request.keyCsv, key, *table, err))
        return kFileError;

    if (request.key) {
        out << document::keyText(key, namesThreads ? table : nullptr);
        out.flush();
    }
    return kDone;
}

} // namespace

QSize surfaceSize(const ChartRequest& request) {
    if (!request.size.isEmpty())
        return request.size;
    const int height = 400 * request.down / request.across;
    if (height > kMaxSurfaceSide)
        return {std::max(1, kMaxSurfaceSide * request.across / request.down), kMaxSurfaceSide};
    return {400, std::max(1, height)};
}

int run(const ChartRequest& request, QTextStream& out, QTextStream& err) {
    try {
        return chart(request, out, err);
    } catch (const std::bad_alloc&) {
        err << "trameda: memoria insufficiente" << Qt::endl;
        return kFileError;
    }
}

void silenceQtMessages() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            QTextStream(stderr) << message << Qt::endl;
    });
}

int main(const QStringList& arguments) {
    StandardOutput standardOutput;
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    const Parsed parsed = parse(arguments);
    int status = kDone;
    switch (parsed.action) {
    case Parsed::Action::Help:
    case Parsed::Action::Version:
        out << parsed.text;
        break;
    case Parsed::Action::Error:
        err << "trameda: " << parsed.text << "\n";
        return kUsageError;
    case Parsed::Action::Chart:
        try {
            status = run(parsed.request, out, err);
        } catch (const std::exception& e) {
            // The thread table built into the program could not be read: a broken build.
            err << "trameda: " << e.what() << Qt::endl;
            return kFileError;
        }
        break;
    }
    // What went to standard output (the key, the help) counts only if it all got there.
    out.flush();
    if (standardOutput.failed() && status == kDone) {
        err << "trameda: impossibile scrivere sullo standard output: " << standardOutput.failure()
            << Qt::endl;
        return kFileError;
    }
    return status;
}

} // namespace trameda::batch
