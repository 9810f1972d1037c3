#pragma once

#include "layout.h"
#include "stitching/options.h"
#include "stitching/optionstext.h"
#include "symbols.h"

#include <QString>
#include <optional>

namespace trameda::document {

// The settings of a printed pattern, one struct for the command line and the window alike. Plain
// data: safe to copy to and use from any thread.
struct PatternOptions {
    QString title;   // empty: the picture's file name
    int fabric = 14; // the cloth's count: stitches per inch of Aida, threads per inch of linen
    int over = 1;    // 1: Aida; 2: linen or evenweave, a stitch over two threads
    int strands = 2; // of the skein's six, in the needle
    int margin = 20; // per cent of thread added for mistakes before skeins are counted
    Paper paper = Paper::A4;
    double cell = 0; // side of a chart cell in mm; 0: about kDefaultCell, as few pages as allows
    SymbolSet symbols = SymbolSet::Distinct;
    bool blackAndWhite = false; // symbols alone, black on white, for printers without colour
    stitching::StitchOptions stitch;

    bool operator==(const PatternOptions&) const = default;
};

using stitching::parseNumber;
using stitching::Range;
constexpr Range kFabricRange{6, 40};
constexpr Range kStrandsRange{1, 6};
constexpr Range kOverRange{1, 2};
constexpr Range kMarginRange{0, 100};

// Each of these reads a setting from its text and stores it, or returns why the text is not one,
// in words that follow the setting's option name ("vuole A4 o letter, non \"A3\"").
std::optional<QString> parsePaper(const QString& text, Paper& into);
// Millimetres from kSmallestCell to kLargestCell, with a decimal comma or point.
std::optional<QString> parseCell(const QString& text, double& into);
std::optional<QString> parseSymbols(const QString& text, SymbolSet& into);
// The thread maker (dmc, anchor, madeira) whose threads replace the chart's colours.
std::optional<QString> parseThreads(const QString& text, stitching::StitchOptions& into);

} // namespace trameda::document
