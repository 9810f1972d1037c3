#include "colour.h"

#include "runtimeerror.h"

#include <array>
#include <cmath>

namespace trameda {

Colour QBColor(int index) {
    static constexpr std::array<Colour, 16> table = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    if (index < 0 || index > 15)
        throw RuntimeError(RuntimeError::InvalidCall);
    return table[static_cast<std::size_t>(index)];
}

Components splitColour(Colour c) {
    const double value = c;
    const double blue = std::floor(value / 65536.0);
    const double green = std::floor((value - 65536.0 * blue) / 256.0);
    const double red = value - 65536.0 * blue - 256.0 * green;
    return {red, green, blue};
}

QRgb toQRgb(Colour c) {
    const auto v = static_cast<std::uint32_t>(c);
    return qRgb(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

QColor toQColor(Colour c) {
    return QColor(toQRgb(c));
}

Colour fromQRgb(QRgb rgb) {
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

} // namespace trameda
