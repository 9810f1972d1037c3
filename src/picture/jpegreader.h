#pragma once

#include <QImage>
#include <QSize>

class QElapsedTimer;
class QIODevice;

namespace trameda {

struct ReadLimits;

// Refuses a picture that claims `claimed`: RuntimeError(InvalidPicture) with the detail
// "immagine troppo grande: L x A pixel".
[[noreturn]] void refuseAsTooLarge(QSize claimed);
// Refuses a picture whose header claims more than `limits` allow on a side or more than
// `maxPixels` in all.
void refuseIfTooLarge(QSize claimed, qint64 maxPixels, const ReadLimits& limits);
// Refuses a picture whose reading took longer than `limits` allow: RuntimeError(InvalidPicture)
// with the detail "lettura troppo lunga (più di 2,5 s)".
[[noreturn]] void refuseAsTooSlow(const ReadLimits& limits);

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
