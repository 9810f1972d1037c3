#pragma once

// What every picture reader does when a picture asks for more than the reading's limits allow.
// Safe on any thread.

#include <QSize>
#include <QtGlobal>

namespace trameda {

struct ReadLimits;

// Whether a picture of `size` is more than `limits` allow on a side, or more than `maxPixels`
// in all (each reader has its own, after what decoding the picture costs it).
bool exceedsLimits(QSize size, qint64 maxPixels, const ReadLimits& limits);

// Refuses a picture that claims `claimed`: RuntimeError(InvalidPicture) with the detail
// "immagine troppo grande: L x A pixel".
[[noreturn]] void refuseAsTooLarge(QSize claimed);
// Refuses a picture whose header claims more than exceedsLimits() allows.
void refuseIfTooLarge(QSize claimed, qint64 maxPixels, const ReadLimits& limits);
// Refuses a picture whose reading took longer than `limits` allow: RuntimeError(InvalidPicture)
// with the detail "lettura troppo lunga (più di 2,5 s)".
[[noreturn]] void refuseAsTooSlow(const ReadLimits& limits);

} // namespace trameda
