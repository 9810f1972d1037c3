#pragma once

#include <QColor>
#include <QString>
#include <vector>

namespace trameda::document {

// What marks the cells of a chart page.
enum class SymbolSet {
    Distinct, // the shapes of distinctSymbols()
    Letters,  // the window's letters A to P, while there are no more than 16 threads
};

// The font every symbol is drawn in, one glyph a cell, embedded in the PDF.
QString symbolFontFamily();

// The chart symbols, the most telling first: shapes no two of which are mistaken for each other
// at a few millimetres, nor are one the mirror or quarter turn of another, and none a bare bar
// that reads as a grid line. All are in symbolFontFamily().
const std::vector<QString>& distinctSymbols();

// The symbol of the `rank`-th thread of the key (0 for the first); `entry` is its palette entry,
// which letters follow. Letters give way to the shapes when there are more than 16 threads.
QString symbolFor(SymbolSet set, int rank, int entry, int threads);

// WCAG's contrast ratio of two colours, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);
// Black or white, whichever stands out more on `fill`: at least 4.5 : 1 for every fill.
QColor inkOn(const QColor& fill);

} // namespace trameda::document
