#pragma once

#include <QStringList>

namespace trameda::stitching {
struct StitchedPattern;
}

namespace trameda::document {

// What a stitcher should know of how the pattern was made, a sentence each, in Italian: the part
// of the picture cut to fit the stitches' proportions, the isolated stitches before and after the
// clean-up at `clean`, the colour left unstitched as the cloth. The cover and the key print them.
QStringList stitchingNotes(const stitching::StitchedPattern& pattern, int clean);

} // namespace trameda::document
