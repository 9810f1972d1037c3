#include "patternwork.h"

#include "document/patternoutputs.h"
#include "files/names.h"
#include "pattern/rules.h"
#include "picture/picture.h"
#include "runtime/runtimeerror.h"

#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <new>

namespace trameda {

document::PatternOptions startingOptions(const PatternStart& start) {
    document::PatternOptions options;
    options.title = document::titleOf(start.picture);
    options.stitch.across = start.across;
    options.stitch.down = 0;
    options.stitch.brand = stitching::Brand::Dmc;
    options.stitch.clean = 1;
    return options;
}

QSize chartCells(const PatternStart& start) {
    return {pattern::cellsOnPicture(pattern::cellStep(std::clamp(start.across, 1, 150))),
            pattern::cellsOnPicture(pattern::cellStep(std::clamp(start.down, 1, 150)))};
}

bool changesStitches(const stitching::StitchOptions& a, const stitching::StitchOptions& b) {
    return a.across != b.across || a.down != b.down || a.brand != b.brand || a.snap != b.snap ||
           a.threadColours != b.threadColours || a.clean != b.clean ||
           a.background != b.background ||
           (a.background == stitching::Background::Colour &&
            a.backgroundColour != b.backgroundColour);
}

// What every run reads: copied from the window once, kept alive by the runs still working.
struct PatternRunner::Source {
    QString path;
    std::vector<QRgb> swatches;
    QSize chartCells;
    Picture picture; // decoded by the first run; runs never overlap
    std::atomic<bool> dropped{false};
};

namespace {

std::shared_ptr<const MadePattern> make(PatternRunner::Source& source,
                                        const stitching::StitchOptions& options);

} // namespace

PatternRunner::PatternRunner(const PatternStart& start, QObject* parent)
    : QObject(parent), m_source(std::make_shared<Source>()) {
    m_source->path = start.picture;
    m_source->swatches = start.swatches;
    m_source->chartCells = chartCells(start);
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &PatternRunner::finished);
}

PatternRunner::~PatternRunner() {
    m_source->dropped = true;
    m_watcher.disconnect(this);
}

void PatternRunner::request(const stitching::StitchOptions& options) {
    m_waiting = options;
    if (!m_working)
        startWaiting();
}

void PatternRunner::startWaiting() {
    if (!m_waiting)
        return;
    const stitching::StitchOptions options = *m_waiting;
    m_waiting.reset();
    m_working = true;
    ++m_runs;
    m_watcher.setFuture(QtConcurrent::run(
        [source = m_source, options] { return make(*source, options); }));
}

void PatternRunner::finished() {
    m_working = false;
    const std::shared_ptr<const MadePattern> result = m_watcher.result();
    if (m_waiting)
        startWaiting(); // the result is already stale
    else
        Q_EMIT made(result);
}

namespace {

std::shared_ptr<const MadePattern> make(PatternRunner::Source& source,
                                        const stitching::StitchOptions& options) {
    auto made = std::make_shared<MadePattern>();
    made->options = options;
    if (source.dropped)
        return made;
    try {
        if (source.picture.isNull())
            source.picture = LoadPicture(source.path);
        stitching::PatternResult result =
            stitching::makePattern(source.picture.image(), source.swatches, options,
                                   source.chartCells, source.picture.proportions());
        made->pattern = std::move(result.pattern);
        made->failure = result.failure;
    } catch (const RuntimeError& e) {
        made->failure = QStringLiteral("Impossibile aprire l'immagine \u201C%1\u201D: %2.")
                            .arg(shownName(source.path), failureCause(e));
    } catch (const std::bad_alloc&) {
        made->failure = QStringLiteral("Memoria insufficiente per lo schema.");
    } catch (const std::exception& e) {
        // The thread table built into the program could not be read: a broken build.
        made->failure = QString::fromLocal8Bit(e.what());
    }
    return made;
}

} // namespace

} // namespace trameda
