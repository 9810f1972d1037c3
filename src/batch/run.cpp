#include "run.h"

#include "chartjob.h"
#include "document/key.h"
#include "document/oxs.h"
#include "document/patternoutputs.h"
#include "document/patternpdf.h"
#include "files/names.h"
#include "files/readfile.h"
#include "files/safewrite.h"
#include "outputs.h"
#include "palette/autopalette.h"
#include "palette/colfile.h"
#include "pattern/rules.h"
#include "picture/picture.h"
#include "runtime/runtimeerror.h"
#include "stitching/pattern.h"
#include "threads/threadtable.h"

#include <QTextStream>
#include <new>
#include <optional>
#include <span>
#include <vector>

namespace trameda::batch {

namespace {

// An OXS file read whole, within kMaxOxsBytes; the message when it cannot be.
std::optional<document::OxsChart> readOxsFile(const ChartRequest& request, QTextStream& err) {
    const ReadResult file = readBounded(request.picture, document::kMaxOxsBytes);
    QString why = file.failure;
    if (file.read && !file.read->complete)
        why = QStringLiteral("file troppo grande");
    else if (file.read) {
        document::OxsRead read = document::readOxs(file.read->bytes, request.options.stitch.brand);
        if (read.chart)
            return std::move(*read.chart);
        why = read.failure;
    }
    err << "trameda: " << shownName(request.picture) << ": " << why << Qt::endl;
    return std::nullopt;
}

// The pattern outputs (the PDF, the shopping list, the OXS file) from one engine result.
int writePatternOutputs(const ChartRequest& request, stitching::StitchedPattern stitched,
                        const QString& title, int fabric, QTextStream& err) {
    const document::PatternOptions& options = request.options;
    const document::KeySettings settings{fabric, options.over, options.strands, options.margin};
    const document::PatternOutputs outputs = document::patternOutputs(
        std::move(stitched), settings, request.chartIsOxs ? 0 : options.stitch.clean,
        options.stitch.also);
    const bool threadColours = document::coloursAreThreads(options.stitch) || request.chartIsOxs;
    if (!request.pattern.isEmpty() &&
        reported(document::savePatternPdf(request.pattern, outputs, title, settings, options,
                                          threadColours),
                 err))
        return kFileError;
    if (!request.keyCsv.isEmpty() &&
        reported(document::saveShoppingList(request.keyCsv, outputs), err))
        return kFileError;
    if (!request.oxs.isEmpty() &&
        reported(document::saveOxs(request.oxs, outputs, title, settings, options.symbols), err))
        return kFileError;
    return kDone;
}

int chart(const ChartRequest& request, QTextStream& out, QTextStream& err) {
    // An output that can never be written is refused before any work is done.
    if (const auto why = unwritableOutput(request)) {
        err << *why << Qt::endl;
        return kFileError;
    }
    const document::PatternOptions& options = request.options;

    if (request.chartIsOxs) {
        std::optional<document::OxsChart> read = readOxsFile(request, err);
        if (!read)
            return kFileError;
        const QString title = !options.title.isEmpty() ? options.title
                              : !read->title.isEmpty()
                                  ? read->title
                                  : document::titleOf(request.picture);
        const int fabric = request.fabricGiven ? options.fabric : read->fabric;
        return writePatternOutputs(request, std::move(read->pattern), title, fabric, err);
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
    const std::span<Colour> inUse(swatches.data(), std::size_t(std::min(settings.colours, 16)));

    // The pattern outputs are the stitching engine's, from the swatches as chosen.
    if (!request.pattern.isEmpty() || !request.keyCsv.isEmpty() || !request.oxs.isEmpty()) {
        std::vector<QRgb> chosen;
        for (const Colour c : inUse)
            chosen.push_back(toQRgb(c));
        const QSize chartCells(pattern::cellsOnPicture(pattern::cellStep(request.across)),
                               pattern::cellsOnPicture(pattern::cellStep(request.down)));
        stitching::PatternResult made = stitching::makePattern(
            picture.image(), chosen, options.stitch, chartCells, picture.proportions());
        if (!made.pattern) {
            err << "trameda: --stitches: " << made.failure << Qt::endl;
            return kUsageError;
        }
        const QString title =
            options.title.isEmpty() ? document::titleOf(request.picture) : options.title;
        if (const int status =
                writePatternOutputs(request, std::move(*made.pattern), title, options.fabric, err);
            status != kDone)
            return status;
    }
    if (request.png.isEmpty() && request.pdf.isEmpty() && !request.key)
        return kDone;

    // The threads of the entries in use, matched to the colours as chosen; with --threads the
    // entries then take their threads' colours for the whole conversion.
    const bool snap = options.stitch.snap;
    const bool namesThreads = snap || !request.pattern.isEmpty();
    const threads::ThreadTable* table = nullptr;
    std::vector<threads::ThreadMatch> matches;
    if (namesThreads) {
        table = &threads::ThreadTable::forBrand(options.stitch.brand);
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

    if (request.key) {
        const document::Key key = document::makeKey(inUse, matches, chart.stitches,
                                                    document::keySettings(options));
        out << document::keyText(key, namesThreads ? table : nullptr,
                                 threads::brandName(options.stitch.brand));
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
