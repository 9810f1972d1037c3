#pragma once

#include <QImage>

class QElapsedTimer;
class QIODevice;

namespace trameda {

struct ReadLimits;

namespace png {

// Decodes the PNG held by `device`, from its current position, whole, as RGB32 with transparent
// parts on white; 16-bit samples are scaled to 8 bits as they come in. Within `limits`: the size
// in the header is checked against ReadLimits::maxWholePixels before anything is decoded, the
// time since `clock` started is watched as the data comes in, and compressed data that goes on
// past the last row is refused rather than inflated. Throws RuntimeError naming the cause in its
// detail (InvalidPicture, FileAccess) and std::bad_alloc; libpng itself never prints.
QImage read(QIODevice& device, const ReadLimits& limits, const QElapsedTimer& clock);

} // namespace png

} // namespace trameda
