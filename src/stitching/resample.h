#pragma once

// The pattern's size and the picture's colour under each stitch. Plain functions on plain data:
// no widgets, no files, nothing shared between calls, so they may run on any thread.

#include <QImage>
#include <QRectF>
#include <QRgb>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

namespace trameda::stitching {

struct PatternSize {
    int across = 0;
    int down = 0;
    // The part of the picture the stitches cover, in fractions of its width and height: the
    // whole (0, 0, 1, 1) unless both sides were asked and the picture's shape differs.
    QRectF crop{0, 0, 1, 1};
};

struct SizeChoice {
    std::optional<PatternSize> size;
    QString failure; // why there is no size, in Italian, when there is none
};

// The stitches for a picture of `picture`'s proportions. `across` and `down` as in
// StitchOptions: both 0 keep `chartCells`; one alone sets the other from the picture's
// proportions, rounded (refused when that passes kMaxStitches); both give exactly that, over the
// largest centred part of the picture with their proportions.
SizeChoice patternSize(QSize picture, int across, int down, QSize chartCells);

// The colour of each stitch, row by row: the area average, in linear light, of the part of
// `picture` it covers, at whatever resolution the picture was decoded. Throws std::bad_alloc
// when memory runs out.
std::vector<QRgb> averageCells(const QImage& picture, const PatternSize& size);

} // namespace trameda::stitching
