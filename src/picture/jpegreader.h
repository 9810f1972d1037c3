#pragma once

#include <QImage>
#include <QSize>

class QElapsedTimer;
class QIODevice;

namespace trameda {

struct ReadLimits;

namespace jpeg {

// Decodes the JPEG held by `device`, from its current position, at the smallest of libjpeg's
// scales (n/8) that leaves neither side below the lesser of its full length and `maxSide`, upright
// as its Exif orientation asks. The result is RGB32. Within `limits`: the claimed size is checked
// before anything is decoded, a progressive picture must fit its working memory, the scans are
// counted and the time since `clock` started is watched as the data comes in. Throws
// RuntimeError naming the cause in its detail (InvalidPicture, OutOfMemory, FileAccess) and
// std::bad_alloc; libjpeg itself never prints.
QImage read(QIODevice& device, int maxSide, const ReadLimits& limits, const QElapsedTimer& clock);

} // namespace jpeg

} // namespace trameda
