#pragma once

#include "layout.h"
#include "stitching/options.h"

#include <QString>
#include <optional>

namespace trameda::document {

// The settings of a printed pattern, one struct for the command line and the window alike. Plain
// data: safe to copy to and use from any thread.
struct PatternOptions {
    QString title; // empty: the picture's file name
    int fabric = 14;  // stitches per inch
    int strands = 2;  // of the skein's six, in the needle
    Paper paper = Paper::A4;
    bool blackAndWhite = false; // chart cells black on white, for printers without colour
    stitching::StitchOptions stitch;
};

// The range of a whole-number setting.
struct Range {
    int min;
    int max;
};
constexpr Range kFabricRange{6, 40};
constexpr Range kStrandsRange{1, 6};

// Each of these reads a setting from its text and stores it, or returns why the text is not one,
// in words that follow the setting's option name ("vuole A4 o letter, non \"A3\"").
std::optional<QString> parseNumber(const QString& text, Range range, int& into);
std::optional<QString> parsePaper(const QString& text, Paper& into);
// The thread maker whose threads replace the chart's colours.
std::optional<QString> parseThreads(const QString& text, stitching::StitchOptions& into);

} // namespace trameda::document
