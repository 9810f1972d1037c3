#pragma once

#include <QImage>
#include <QSize>

namespace trameda {

// Stretches or shrinks an opaque picture to exactly `size` (proportions bent as needed),
// averaging over the area each target pixel covers. A picture of one colour stays exactly that
// colour. Returns an RGB32 image; an empty size gives a null image. Throws std::bad_alloc when
// the memory for the result cannot be had. A picture handed over (moved) is let go of as soon as
// it is no longer needed, which lowers the peak of a large reduction.
QImage areaScale(QImage source, QSize size);

} // namespace trameda
