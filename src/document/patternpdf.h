#pragma once

#include "key.h"
#include "layout.h"
#include "runtime/colour.h"
#include "symbols.h"

#include <QString>
#include <span>

class QIODevice;

namespace trameda::threads {
class ThreadTable;
}

namespace trameda::document {

class StitchGrid;

// Everything a pattern document shows.
struct Pattern {
    QString title;
    const StitchGrid& grid;
    std::span<const Colour> colours; // the palette entries in use, as charted
    const Key& key;
    const threads::ThreadTable& threads;
    KeySettings settings;
    Paper paper = Paper::A4;
    double cell =
        0; // side of a chart cell, kSmallestCell to kLargestCell mm; 0: about kDefaultCell
    SymbolSet symbols = SymbolSet::Distinct;
    // Cells filled with their thread's colour under a black or white symbol, or (for printers
    // without colour) the symbols alone, black on white.
    bool blackAndWhite = false;
    bool snapped = false; // the chart's colours are those of the threads
};

// Holds no state of its own: patterns may be written from a worker thread, each to its own
// device.
//
// Writes the pattern as a vector PDF (text as text) to `device`, page by page as
// planDocument() lays them out: the cover, the chart pages, the key. Returns false when the PDF
// could not be made or written.
bool writePatternPdf(QIODevice& device, const Pattern& pattern);

} // namespace trameda::document
