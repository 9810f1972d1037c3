#include "autopalette.h"

#include "runtime/numbers.h"
#include "runtime/runtimeerror.h"
#include "runtime/surface.h"

#include <cmath>

namespace trameda::palette {

namespace {

constexpr int kGridEnd = 200; // samples at 0..200 inclusive on both axes
constexpr int kMostSamples = 100;
constexpr int kMostChosen = 15;
constexpr Colour kWhite = 0xFFFFFF;

int level(double channel, int levels) {
    return int(std::floor(levels * channel / 256)) + 1;
}

// The upper corner of a bin on one channel: 255 x level / levels, halves to even.
int cornerValue(int level, int levels) {
    return int(roundHalfEven(255.0 * level / levels));
}

} // namespace

AutoPalette autoPalette(const Sampler& sample, AutoPaletteOptions options, AutoPaletteBins* bins) {
    const int levels = options.manyColours ? 4 : 3;
    AutoPaletteBins local;
    AutoPaletteBins& b = bins ? *bins : local;
    b = AutoPaletteBins{};

    for (int x = 0; x <= kGridEnd; ++x)
        for (int y = 0; y <= kGridEnd; ++y) {
            const Colour c = sample(float(x), float(y));
            if (c == NoColour)
                continue;
            if (c < 0 || c > kWhite)
                throw RuntimeError(RuntimeError::SubscriptOutOfRange);
            const Components parts = splitColour(c);
            const int r = level(parts.red, levels);
            const int g = level(parts.green, levels);
            const int bl = level(parts.blue, levels);
            ++b.conta[std::size_t(r)][std::size_t(g)][std::size_t(bl)];
            b.tinte[std::size_t(r)][std::size_t(g)][std::size_t(bl)] =
                options.pastel
                    ? RGB(cornerValue(r, levels), cornerValue(g, levels), cornerValue(bl, levels))
                    : c;
        }

    AutoPalette result;
    result.swatches.fill(kWhite);
    while (result.count < kMostChosen) {
        int best = kMostSamples;
        int* chosen = nullptr;
        Colour colour = 0;
        for (int r = 1; r <= levels; ++r)
            for (int g = 1; g <= levels; ++g)
                for (int bl = 1; bl <= levels; ++bl) {
                    int& count = b.conta[std::size_t(r)][std::size_t(g)][std::size_t(bl)];
                    const Colour tint = b.tinte[std::size_t(r)][std::size_t(g)][std::size_t(bl)];
                    if (count > best && tint != 0) {
                        best = count;
                        chosen = &count;
                        colour = tint;
                    }
                }
        if (!chosen)
            break;
        result.swatches[std::size_t(result.count)] = colour;
        *chosen = -1;
        ++result.count;
    }
    return result;
}

AutoPalette autoPalette(const ImageSurface& surface, AutoPaletteOptions options,
                        AutoPaletteBins* bins) {
    return autoPalette([&surface](double x, double y) { return surface.Point(x, y); }, options,
                       bins);
}

} // namespace trameda::palette
