#include "pattern.h"

#include "background.h"
#include "choose.h"
#include "clean.h"
#include "match.h"

#include <algorithm>
#include <numeric>

namespace trameda::stitching {

namespace {

using threads::Lab;

// Gives every stitched cell the entry `to[entry]` (-1: left unstitched).
void renumber(StitchGrid& grid, const std::vector<int>& to) {
    for (int y = 0; y < grid.rows(); ++y)
        for (int x = 0; x < grid.columns(); ++x)
            if (const int e = grid.at(x, y); e >= 0)
                grid.set(x, y, to[std::size_t(e)]);
}

// The entries' colours in CIELAB.
std::vector<Lab> entryLabs(const std::vector<PatternEntry>& entries) {
    std::vector<QRgb> colours;
    colours.reserve(entries.size());
    for (const PatternEntry& e : entries)
        colours.push_back(e.colour);
    return threads::toLab(colours);
}

// Swatches as entries, each cell given its nearest swatch; with `snap` each swatch becomes its
// nearest thread and swatches on one thread become one entry.
std::vector<int> swatchEntries(const DistinctColours& cells, std::span<const QRgb> swatches,
                               const threads::ThreadTable& table, bool snap,
                               std::vector<PatternEntry>& entries) {
    const std::vector<Lab> swatchLabs = threads::toLab(swatches);
    const std::vector<threads::ThreadMatch> matches = table.nearest(swatches);
    std::vector<int> entryOf(swatches.size());
    for (std::size_t s = 0; s < swatches.size(); ++s) {
        if (snap) {
            const auto same =
                std::find_if(entries.begin(), entries.end(), [&](const PatternEntry& e) {
                    return e.thread.index == matches[s].index;
                });
            if (same != entries.end()) {
                entryOf[s] = int(same - entries.begin());
                continue;
            }
        }
        PatternEntry entry;
        entry.colour = snap ? table.at(matches[s].index).colour : swatches[s] | 0xFF000000u;
        entry.thread = matches[s];
        entry.swatch = int(s);
        entryOf[s] = int(entries.size());
        entries.push_back(entry);
    }
    std::vector<int> nearest = nearestCandidates(cells.labs, swatchLabs);
    for (int& n : nearest)
        n = entryOf[std::size_t(n)];
    return nearest;
}

// Threads chosen for the picture as entries, each cell given its nearest one.
std::vector<int> chosenEntries(const DistinctColours& cells, const threads::ThreadTable& table,
                               int count, std::vector<PatternEntry>& entries) {
    const std::vector<int> chosen = chooseThreads(cells.labs, cells.weights, table, count);
    std::vector<Lab> labs;
    for (const int t : chosen) {
        PatternEntry entry;
        entry.colour = table.at(t).colour;
        entry.thread = {t, 0.0};
        entries.push_back(entry);
        labs.push_back(table.at(t).lab);
    }
    return nearestCandidates(cells.labs, labs);
}

} // namespace

PatternResult makePattern(const QImage& picture, std::span<const QRgb> swatches,
                          const StitchOptions& options, QSize chartCells, QSize proportions) {
    PatternResult result;
    if (picture.isNull()) {
        result.failure = QStringLiteral("nessuna immagine");
        return result;
    }
    if (options.threadColours <= 0 && swatches.empty()) {
        result.failure = QStringLiteral("nessun colore");
        return result;
    }
    const SizeChoice size = patternSize(proportions.isEmpty() ? picture.size() : proportions,
                                        options.across, options.down, chartCells);
    if (!size.size) {
        result.failure = size.failure;
        return result;
    }

    StitchedPattern pattern;
    pattern.brand = options.brand;
    pattern.crop = size.size->crop;
    const threads::ThreadTable& table = threads::ThreadTable::forBrand(options.brand);
    const DistinctColours cells = distinctColours(averageCells(picture, *size.size));
    const std::vector<int> entryOf =
        options.threadColours > 0
            ? chosenEntries(cells, table, options.threadColours, pattern.entries)
            : swatchEntries(cells, swatches, table, options.snap, pattern.entries);

    pattern.grid = StitchGrid(size.size->across, size.size->down);
    for (int y = 0, i = 0; y < pattern.grid.rows(); ++y)
        for (int x = 0; x < pattern.grid.columns(); ++x, ++i)
            pattern.grid.set(x, y, entryOf[std::size_t(cells.of[std::size_t(i)])]);

    const std::vector<Lab> labs = entryLabs(pattern.entries);
    const int background = backgroundEntry(pattern.grid, labs, options.background,
                                           threads::toLab(options.backgroundColour));
    if (background >= 0) {
        pattern.background = pattern.entries[std::size_t(background)].colour;
        std::vector<int> unstitched(pattern.entries.size());
        std::iota(unstitched.begin(), unstitched.end(), 0);
        unstitched[std::size_t(background)] = -1;
        renumber(pattern.grid, unstitched);
    }

    pattern.isolatedBefore = countIsolated(pattern.grid);
    cleanUp(pattern.grid, labs, options.clean);
    pattern.isolatedAfter = countIsolated(pattern.grid);

    keepUsedEntries(pattern);
    if (options.threadColours > 0) {
        // Threads chosen for the picture are listed from the most used.
        std::vector<int> order(pattern.entries.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
            return pattern.entries[std::size_t(x)].stitches >
                   pattern.entries[std::size_t(y)].stitches;
        });
        std::vector<int> rank(order.size());
        std::vector<PatternEntry> sorted;
        for (std::size_t i = 0; i < order.size(); ++i) {
            rank[std::size_t(order[i])] = int(i);
            sorted.push_back(pattern.entries[std::size_t(order[i])]);
        }
        pattern.entries = std::move(sorted);
        renumber(pattern.grid, rank);
    }
    result.pattern = std::move(pattern);
    return result;
}

void keepUsedEntries(StitchedPattern& pattern) {
    std::vector<long long> counts(pattern.entries.size(), 0);
    StitchGrid& grid = pattern.grid;
    for (int y = 0; y < grid.rows(); ++y)
        for (int x = 0; x < grid.columns(); ++x)
            if (const int e = grid.at(x, y); e >= 0)
                ++counts[std::size_t(e)];
    std::vector<int> renumbered(pattern.entries.size(), -1);
    std::vector<PatternEntry> kept;
    for (std::size_t e = 0; e < pattern.entries.size(); ++e)
        if (counts[e] > 0) {
            renumbered[e] = int(kept.size());
            kept.push_back(pattern.entries[e]);
            kept.back().stitches = counts[e];
        }
    pattern.entries = std::move(kept);
    renumber(grid, renumbered);
}

void matchSecondBrand(StitchedPattern& pattern, Brand brand) {
    std::vector<QRgb> colours;
    const threads::ThreadTable& own = threads::ThreadTable::forBrand(pattern.brand);
    for (const PatternEntry& e : pattern.entries)
        colours.push_back(e.thread.index >= 0 ? own.at(e.thread.index).colour : e.colour);
    const std::vector<threads::ThreadMatch> matches =
        threads::ThreadTable::forBrand(brand).nearest(colours);
    for (std::size_t e = 0; e < pattern.entries.size(); ++e)
        pattern.entries[e].also = matches[e];
}

} // namespace trameda::stitching
