#pragma once

#include <QRgb>
#include <span>
#include <vector>

namespace trameda::threads {

// A colour in CIELAB relative to D65, the white sRGB is defined with.
struct Lab {
    double L = 0;
    double a = 0;
    double b = 0;
};

// sRGB colours (alpha is ignored) in CIELAB (D65). Throws std::bad_alloc when the colour
// engine cannot be set up.
std::vector<Lab> toLab(std::span<const QRgb> colours);
Lab toLab(QRgb colour);

// The CIEDE2000 difference between two colours, with the weights at 1: about 1 is the smallest
// difference an eye notices side by side.
double ciede2000(const Lab& x, const Lab& y);

} // namespace trameda::threads
