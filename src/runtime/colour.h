#pragma once

#include <QColor>
#include <QRgb>
#include <cstdint>

namespace trameda {

// A colour as the toolkit holds it: 0x00BBGGRR, red in the low byte. A pixel read outside a
// picture gives -1.
using Colour = std::int32_t;

constexpr Colour NoColour = -1;

// The 16 standard console colours, 0 to 15; anything else raises InvalidCall.
Colour QBColor(int index);

constexpr Colour RGB(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

// The split used by the conversion and the automatic palette: blue = floor(c / 65536),
// green = floor((c - 65536 * blue) / 256), red = what is left. For -1 it gives red 255,
// green 255, blue -1, and the callers match that like any other colour.
struct Components {
    double red = 0;
    double green = 0;
    double blue = 0;
};
Components splitColour(Colour c);

// Only the low 24 bits count when a colour is painted.
QRgb toQRgb(Colour c);
QColor toQColor(Colour c);
Colour fromQRgb(QRgb rgb);

// What a work surface shows before any picture is painted on it, in the window and off it.
constexpr Colour kBlankColour = RGB(240, 240, 240);

} // namespace trameda
