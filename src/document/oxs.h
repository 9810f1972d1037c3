#pragma once

// The open cross-stitch XML format (OXS), which several pattern editors read and write: a
// `chart` root; `properties` with the size, the title and the fabric; a `palette` whose item 0 is
// the cloth and each further item a thread; `fullstitches`, one `stitch x y palindex` per
// stitched cell, counted from 0 at the design's top left; `backstitches`, here always empty.

#include "stitching/pattern.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class QIODevice;

namespace trameda::document {

struct OxsChart {
    stitching::StitchedPattern pattern;
    QString title;
    int fabric = 14;  // stitches per inch
    int strands = 2;  // in the needle
    // Each entry's symbol, as the pattern's pages show it; empty: the entries' letters.
    std::vector<QString> symbols;
};

// Writes `chart` to `device`; false when the device would not take it all. The cloth is the
// colour left unstitched as background, white when none is.
bool writeOxs(QIODevice& device, const OxsChart& chart);

// The largest OXS file read: 500 x 500 stitches take about 15 MB.
constexpr qint64 kMaxOxsBytes = qint64(64) << 20;

struct OxsRead {
    std::optional<OxsChart> chart;
    QString failure; // "riga 12: ..." in Italian, when there is no chart
};

// Reads a chart written by writeOxs() or by another program: the size (1 to 500 stitches each
// way), the title, the fabric count, the threads (at most 60; a "DMC 310", "Anchor 403" or
// "Madeira 2400" number names that thread of the table, any other is matched by colour in
// `brand`'s) and the full stitches; anything else in the file is passed over. A file that is not
// well-formed XML, has no `chart`, a colour that is not RRGGBB, a number that is not one, a
// stitch outside the chart or naming no thread is refused with its line and the reason.
OxsRead readOxs(const QByteArray& bytes, stitching::Brand brand);

} // namespace trameda::document
