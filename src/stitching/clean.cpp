#include "clean.h"

#include "match.h"
#include "stitchgrid.h"

#include <algorithm>
#include <map>
#include <vector>

namespace trameda::stitching {

namespace {

constexpr int kPasses = 8;
constexpr double kRareShare = 0.002;

template <typename Visit>
void forNeighbours(const StitchGrid& grid, int x, int y, Visit visit) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if ((dx || dy) && nx >= 0 && ny >= 0 && nx < grid.columns() && ny < grid.rows())
                visit(nx, ny);
        }
}

// The entry most of `votes` have; ties go to the entry nearest to `own`, and -1 (unstitched)
// wins only alone at the top.
int majority(const std::map<int, int>& votes, int own, std::span<const threads::Lab> labs) {
    int most = 0;
    for (const auto& [entry, count] : votes)
        most = std::max(most, count);
    int best = -1;
    double bestDifference = 0;
    bool unstitchedLeads = false;
    for (const auto& [entry, count] : votes) {
        if (count != most)
            continue;
        if (entry < 0) {
            unstitchedLeads = true;
            continue;
        }
        const double d = threads::ciede2000(labs[std::size_t(own)], labs[std::size_t(entry)]);
        if (best < 0 || d < bestDifference) {
            best = entry;
            bestDifference = d;
        }
    }
    return best < 0 && unstitchedLeads ? -1 : best;
}

// One pass: every region of fewer than `smallest` stitches takes its surroundings' entry.
// Returns whether any stitch changed.
bool foldRegions(StitchGrid& grid, int smallest, std::span<const threads::Lab> labs) {
    const int columns = grid.columns(), rows = grid.rows();
    std::vector<int> region(std::size_t(columns) * std::size_t(rows), -1);
    const auto at = [columns](int x, int y) { return std::size_t(y) * std::size_t(columns) + std::size_t(x); };
    StitchGrid result = grid;
    bool changed = false;
    std::vector<std::pair<int, int>> cells;
    int regions = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const int entry = grid.at(x, y);
            if (entry < 0 || region[at(x, y)] >= 0)
                continue;
            // The region, grown cell by cell; a large one stops being followed once it is
            // known to be large enough.
            cells.assign(1, {x, y});
            region[at(x, y)] = regions;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const auto [cx, cy] = cells[i];
                forNeighbours(grid, cx, cy, [&](int nx, int ny) {
                    if (grid.at(nx, ny) == entry && region[at(nx, ny)] != regions) {
                        region[at(nx, ny)] = regions;
                        cells.push_back({nx, ny});
                    }
                });
            }
            ++regions;
            if (int(cells.size()) >= smallest)
                continue;
            std::map<int, int> votes;
            std::vector<std::pair<int, int>> counted;
            for (const auto& [cx, cy] : cells)
                forNeighbours(grid, cx, cy, [&](int nx, int ny) {
                    if (grid.at(nx, ny) == entry)
                        return;
                    const std::pair<int, int> cell{nx, ny};
                    if (std::find(counted.begin(), counted.end(), cell) != counted.end())
                        return;
                    counted.push_back(cell);
                    ++votes[grid.at(nx, ny)];
                });
            if (votes.empty())
                continue;
            const int chosen = majority(votes, entry, labs);
            for (const auto& [cx, cy] : cells)
                result.set(cx, cy, chosen);
            changed = true;
        }
    grid = std::move(result);
    return changed;
}

// An entry used by fewer than kRareShare of the stitches becomes its nearest entry in use.
void mergeRare(StitchGrid& grid, std::span<const threads::Lab> labs) {
    std::vector<long long> counts(labs.size(), 0);
    long long total = 0;
    for (int y = 0; y < grid.rows(); ++y)
        for (int x = 0; x < grid.columns(); ++x)
            if (const int e = grid.at(x, y); e >= 0) {
                ++counts[std::size_t(e)];
                ++total;
            }
    std::vector<threads::Lab> keptLabs;
    std::vector<int> kept;
    for (std::size_t e = 0; e < counts.size(); ++e)
        if (counts[e] > 0 && double(counts[e]) >= kRareShare * double(total)) {
            kept.push_back(int(e));
            keptLabs.push_back(labs[e]);
        }
    if (kept.empty())
        return;
    std::vector<int> into(labs.size());
    for (std::size_t e = 0; e < counts.size(); ++e)
        into[e] = std::find(kept.begin(), kept.end(), int(e)) != kept.end()
                      ? int(e)
                      : kept[std::size_t(nearestCandidate(labs[e], keptLabs))];
    for (int y = 0; y < grid.rows(); ++y)
        for (int x = 0; x < grid.columns(); ++x)
            if (const int e = grid.at(x, y); e >= 0)
                grid.set(x, y, into[std::size_t(e)]);
}

} // namespace

long long countIsolated(const StitchGrid& grid) {
    long long isolated = 0;
    for (int y = 0; y < grid.rows(); ++y)
        for (int x = 0; x < grid.columns(); ++x) {
            const int entry = grid.at(x, y);
            if (entry < 0)
                continue;
            bool alone = true;
            forNeighbours(grid, x, y, [&](int nx, int ny) { alone = alone && grid.at(nx, ny) != entry; });
            isolated += alone;
        }
    return isolated;
}

void cleanUp(StitchGrid& grid, std::span<const threads::Lab> labs, int level) {
    if (level <= 0)
        return;
    if (level >= 2)
        mergeRare(grid, labs);
    const int smallest = level >= 2 ? 3 : 2;
    for (int pass = 0; pass < kPasses && foldRegions(grid, smallest, labs); ++pass) {
    }
}

} // namespace trameda::stitching
