#include "background.h"

#include "match.h"
#include "stitchgrid.h"

#include <map>

namespace trameda::stitching {

int backgroundEntry(const StitchGrid& grid, std::span<const threads::Lab> labs,
                    Background background, const threads::Lab& colour) {
    if (background == Background::None || grid.columns() <= 0 || grid.rows() <= 0)
        return -1;
    if (background == Background::Colour) {
        std::vector<bool> unused(labs.size());
        for (std::size_t e = 0; e < labs.size(); ++e)
            unused[e] = grid.count(int(e)) == 0;
        return nearestCandidate(colour, labs, &unused);
    }
    std::map<int, long long> border;
    long long cells = 0;
    for (int y = 0; y < grid.rows(); ++y)
        for (int x = 0; x < grid.columns(); ++x)
            if (x == 0 || y == 0 || x == grid.columns() - 1 || y == grid.rows() - 1) {
                ++border[grid.at(x, y)];
                ++cells;
            }
    int best = -1;
    long long most = 0;
    for (const auto& [entry, count] : border)
        if (entry >= 0 && count > most) {
            best = entry;
            most = count;
        }
    return 2 * most >= cells ? best : -1;
}

} // namespace trameda::stitching
