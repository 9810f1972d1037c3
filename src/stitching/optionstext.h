#pragma once

// The stitching options read from text, as the command line gives them and a dialog may: each
// function stores the setting or returns why the text is not one, in Italian words that follow
// the option's name ("vuole un numero intero da 2 a 60, non \"61\"").

#include "options.h"

#include <QString>
#include <optional>

namespace trameda::stitching {

// The range of a whole-number setting.
struct Range {
    int min;
    int max;
};

// A whole number within `range`: "vuole un numero intero da 2 a 60, non \"61\"" otherwise.
std::optional<QString> parseNumber(const QString& text, Range range, int& into);

// "W" (the height follows the picture) or "WxH", each 1 to kMaxStitches.
std::optional<QString> parseStitches(const QString& text, StitchOptions& into);
// "dmc", "anchor" or "madeira", in any case.
std::optional<QString> parseBrand(const QString& text, Brand& into);
std::optional<QString> parseThreadColours(const QString& text, StitchOptions& into);
std::optional<QString> parseClean(const QString& text, StitchOptions& into);
// "none", "auto" or a colour RRGGBB (a leading # allowed).
std::optional<QString> parseBackground(const QString& text, StitchOptions& into);

} // namespace trameda::stitching
