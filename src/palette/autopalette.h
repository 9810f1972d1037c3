#pragma once

#include "runtime/colour.h"

#include <array>
#include <functional>

namespace trameda {
class ImageSurface;
}

namespace trameda::palette {

// One cell per colour bin, indexed [red level][green level][blue level]; levels run from 1, so
// index 0 and everything past the level count stay 0.
using BinTable = std::array<std::array<std::array<int, 11>, 11>, 11>;

// Reads the colour at (x, y) of whatever is sampled, in its own scale; -1 outside its image.
using Sampler = std::function<Colour(double x, double y)>;

struct AutoPaletteOptions {
    bool manyColours = false; // four levels per channel instead of three
    bool pastel = false;      // a bin's colour is its upper corner, not its last sample
};

struct AutoPalette {
    std::array<Colour, 16> swatches{}; // the chosen colours first, white after them
    int count = 0;                     // how many were chosen, 0 to 15
};

// The bins of the last run, for whoever keeps them.
struct AutoPaletteBins {
    BinTable conta{}; // samples per bin, -1 once the bin has been chosen
    BinTable tinte{}; // the bin's colour
};

// Chooses up to 15 colours from the samples at x, y = 0..200: the most populated bins first,
// each with more than 100 samples; a bin whose colour is black is never chosen. Throws
// RuntimeError(SubscriptOutOfRange) for a sampled value that is no colour (beyond 0..0xFFFFFF,
// other than -1).
AutoPalette autoPalette(const Sampler& sample, AutoPaletteOptions options,
                        AutoPaletteBins* bins = nullptr);

// The same over a drawing surface in its current scale, as the source picture box holds it.
AutoPalette autoPalette(const ImageSurface& surface, AutoPaletteOptions options,
                        AutoPaletteBins* bins = nullptr);

} // namespace trameda::palette
