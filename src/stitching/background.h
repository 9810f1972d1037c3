#pragma once

// Which stitches are left unstitched. A plain function on plain data, safe on any thread.

#include "options.h"
#include "threads/colourdifference.h"

#include <span>

namespace trameda::stitching {

class StitchGrid;

// The entry of `grid` (entries coloured `labs`) whose stitches `background` leaves unstitched:
// for Auto the entry on most of the cells along the grid's edge when it has at least half of
// them, for Colour the entry nearest to `colour` by CIEDE2000 among those in use; otherwise -1.
int backgroundEntry(const StitchGrid& grid, std::span<const threads::Lab> labs,
                    Background background, const threads::Lab& colour);

} // namespace trameda::stitching
