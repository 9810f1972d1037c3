#pragma once

#include "runtime/colour.h"

#include <QString>
#include <array>

namespace trameda::pattern {

// Red, green and blue of each palette entry in use, as read at the start of the latest run.
// Entries a run does not fill keep what an earlier run left.
using Table = std::array<double, 21>;
struct ColourTables {
    Table& rosso;
    Table& verde;
    Table& blu;
};

// The cell step in the 200-unit scale for a count of stitches (1..150): 200 divided by the
// count, truncated. The grid walks 0, step, 2 x step ... up to 200 included, so it has one cell
// more than 200 / step, and the last one reaches beyond the surface.
int cellStep(int stitches);
int gridCount(int step);
// The cells of a row or column whose corner lies on the picture (before 200): the chart's own
// cells, those the key counts.
int cellsOnPicture(int step);

// The smaller of the two steps; it sets the size of the letters.
int lato(int passox, int passoy);

// Fills entries 0 .. n - 1 of the tables from `swatchColour(i)`. The swatch is read before the
// entry is checked, so a missing swatch fails first; an entry past 20 raises
// SubscriptOutOfRange.
template <typename SwatchColour>
void fillTables(const ColourTables& tables, double n, SwatchColour&& swatchColour);

// The palette entry nearest to `sample` among entries 0 .. n - 1: squared distance in red, green
// and blue, strictly nearer to replace an earlier entry, so ties go to the lowest index. -1 when
// n is below 1. An entry past 20 raises SubscriptOutOfRange.
int nearestEntry(const Components& sample, double n, const ColourTables& tables);

// The colour of the grid box and the letter over a cell of entry `scelto`: black over a colour
// brighter than 128 on average, white otherwise (exactly 128 too).
Colour contrastColour(const ColourTables& tables, int scelto);

// Width in pixels of the stitch lines for a cell `passox` units wide: a quarter of the width
// between 1 and 10, half as much again on the screen; on the printer, seven quarters of the
// width between 1 and 10. Halves round to even.
int screenStrokeWidth(int passox);
int printerStrokeWidth(int passox);

// The printer's user scale: 201 x 351 units, the height stretched when there are more stitches
// across than down and the width when there are fewer, so that the chart keeps the stitch ratio.
// Single precision, as the scale is set.
struct PageScale {
    double width;
    double height;
};
PageScale printerPageScale(int across, int down);

// The letter naming palette entry `scelto`: A for 0 ... P for 15.
QString letterFor(int scelto);

// ---------------------------------------------------------------------------------------------

void checkEntry(int index);

template <typename SwatchColour>
void fillTables(const ColourTables& tables, double n, SwatchColour&& swatchColour) {
    for (int i = 0; i <= n - 1; ++i) {
        const Components c = splitColour(swatchColour(i));
        checkEntry(i);
        const auto at = static_cast<std::size_t>(i);
        tables.rosso[at] = c.red;
        tables.verde[at] = c.green;
        tables.blu[at] = c.blue;
    }
}

} // namespace trameda::pattern
