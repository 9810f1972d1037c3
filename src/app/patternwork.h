#pragma once

// The work behind the pattern dialog, without widgets: the options it starts from, and the
// stitching engine run off the GUI thread, a newer request superseding an older one.

#include "document/patternoptions.h"
#include "patternstart.h"
#include "stitching/pattern.h"

#include <QFutureWatcher>
#include <QObject>
#include <QSize>
#include <memory>
#include <optional>

namespace trameda {

// The options for the window's state `start`: exactly its stitches across, the height by the
// picture's proportions, its swatches in use, DMC threads, clean-up 1 and the picture's file name
// as the title.
document::PatternOptions startingOptions(const PatternStart& start);

// The chart's cells for the window's bars: the pattern's size when the options ask none.
QSize chartCells(const PatternStart& start);

// Whether options `a` and `b` make different stitches, so that the engine must run again; the
// rest (the second maker included) only changes what the document says of them.
bool changesStitches(const stitching::StitchOptions& a, const stitching::StitchOptions& b);

// One run of the engine: the options it was asked with and the pattern, or why there is none.
struct MadePattern {
    stitching::StitchOptions options;
    std::optional<stitching::StitchedPattern> pattern;
    QString failure; // one line in Italian, when there is no pattern
};

// Makes the patterns of one picture and its swatches on a worker thread, one at a time, on
// copies of the data. A request made while a run is working waits, replacing any request that
// was waiting already, so that fast changes never pile up runs; only the result of the latest
// request is delivered. Destroying the runner mid-run drops the run: it finishes on its own
// copies and its result goes nowhere.
class PatternRunner : public QObject {
    Q_OBJECT
public:
    explicit PatternRunner(const PatternStart& start, QObject* parent = nullptr);
    ~PatternRunner() override;

    void request(const stitching::StitchOptions& options);
    // A run is working or a request waits: the last result is not that of the latest request.
    bool busy() const { return m_working || m_waiting.has_value(); }
    // Runs started since the runner was made.
    int runs() const { return m_runs; }

    // What every run reads, copied from the window once.
    struct Source;

Q_SIGNALS:
    // The pattern of the latest request.
    void made(std::shared_ptr<const trameda::MadePattern> pattern);

private:
    void startWaiting();
    void finished();

    std::shared_ptr<Source> m_source;
    QFutureWatcher<std::shared_ptr<const MadePattern>> m_watcher;
    std::optional<stitching::StitchOptions> m_waiting;
    bool m_working = false;
    int m_runs = 0;
};

} // namespace trameda
