#pragma once

// From a picture to a pattern: the stitching engine's one entry point. Plain data in and out, no
// widgets, no files and nothing shared between calls, so a pattern may be made on a worker
// thread.

#include "options.h"
#include "resample.h"
#include "stitchgrid.h"
#include "threads/threadtable.h"

#include <QImage>
#include <QRgb>
#include <QString>
#include <optional>
#include <span>
#include <vector>

namespace trameda::stitching {

// One thread of the pattern, as the grid names it by its index.
struct PatternEntry {
    QRgb colour = 0; // as charted: the thread's own colour once snapped or chosen
    // The brand's thread for the entry, and its CIEDE2000 difference from `colour`.
    threads::ThreadMatch thread;
    // The nearest thread of the second brand (StitchOptions::also) to the thread's colour.
    std::optional<threads::ThreadMatch> also;
    int swatch = -1; // the first swatch it came from, or -1 for a thread chosen for the picture
    long long stitches = 0;
};

struct StitchedPattern {
    StitchGrid grid; // each cell an index into `entries`, or -1 unstitched
    std::vector<PatternEntry> entries; // only entries with stitches, the grid's order
    Brand brand = Brand::Dmc;
    QRectF crop{0, 0, 1, 1}; // the part of the picture stitched, in fractions of its sides
    long long isolatedBefore = 0; // stitches with no neighbour of their own thread, before
    long long isolatedAfter = 0;  // and after the clean-up
    // The colour left unstitched as background, if any.
    std::optional<QRgb> background;
};

struct PatternResult {
    std::optional<StitchedPattern> pattern;
    QString failure; // in Italian, when there is no pattern
};

// The pattern of `picture` (any resolution, stretched or not: `proportions` is the shape of the
// picture as it was taken, or empty for `picture`'s own) by `options`.
// `swatches` are the palette entries in use; they are the pattern's colours unless
// `options.threadColours` asks for threads chosen for the picture. `chartCells` is the size when
// the options ask none. `options.also` is left to whoever shows the pattern (matchSecondBrand()),
// as a pattern read back from a file needs it too. Throws std::bad_alloc when memory runs out.
PatternResult makePattern(const QImage& picture, std::span<const QRgb> swatches,
                          const StitchOptions& options, QSize chartCells,
                          QSize proportions = {});

// Drops the entries without stitches, renumbering the grid, and counts the stitches of the rest.
void keepUsedEntries(StitchedPattern& pattern);

// Names each entry's nearest thread of `brand` (by its colour) in `entry.also`.
void matchSecondBrand(StitchedPattern& pattern, Brand brand);

} // namespace trameda::stitching
