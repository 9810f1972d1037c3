#pragma once

// Clean-up of a pattern's stitches: no confetti. Plain functions on plain data, safe on any
// thread.

#include "threads/colourdifference.h"

#include <span>

namespace trameda::stitching {

class StitchGrid;

// Stitches with no stitch of their own entry among their 8 neighbours.
long long countIsolated(const StitchGrid& grid);

// Cleans `grid`, whose entries have colours `labs`:
// 0: nothing;
// 1: a stitch with no neighbour of its own entry among its 8 takes the entry most of its
//    neighbours have (an unstitched neighbour counts for leaving it unstitched); on a tie the
//    entry nearest to its own by CIEDE2000, and unstitched only when it alone leads;
// 2: first an entry used by fewer than 0.2 % of the stitches becomes its nearest entry among the
//    others in use, then every region of fewer than 3 stitches of one entry (touching at sides
//    or corners) takes the entry most of the cells around it have, by the same rule.
// Regions are judged on the grid as it was before each pass, and passes repeat until nothing
// changes (at most a few times).
void cleanUp(StitchGrid& grid, std::span<const threads::Lab> labs, int level);

} // namespace trameda::stitching
