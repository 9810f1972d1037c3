#include "readlimits.h"

#include "picture.h"
#include "runtime/runtimeerror.h"

#include <QLocale>

namespace trameda {

[[noreturn]] void refuseAsTooLarge(QSize claimed) {
    throw RuntimeError(RuntimeError::InvalidPicture,
                       QStringLiteral("immagine troppo grande: %1 x %2 pixel")
                           .arg(claimed.width())
                           .arg(claimed.height()));
}

bool exceedsLimits(QSize size, qint64 maxPixels, const ReadLimits& limits) {
    return size.width() > limits.maxSide || size.height() > limits.maxSide ||
           qint64(size.width()) * size.height() > maxPixels;
}

void refuseIfTooLarge(QSize claimed, qint64 maxPixels, const ReadLimits& limits) {
    if (exceedsLimits(claimed, maxPixels, limits))
        refuseAsTooLarge(claimed);
}

[[noreturn]] void refuseAsTooSlow(const ReadLimits& limits) {
    throw RuntimeError(RuntimeError::InvalidPicture,
                       QStringLiteral("lettura troppo lunga (più di %1 s)")
                           .arg(QLocale(QLocale::Italian).toString(limits.milliseconds / 1000.0)));
}

} // namespace trameda
