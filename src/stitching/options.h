#pragma once

#include "threads/brand.h"

#include <QRgb>
#include <optional>

namespace trameda::stitching {

// The thread makers whose colour tables the program carries (named with the threads, which
// know nothing of patterns).
using Brand = threads::Brand;

// Which stitches are left unstitched, the fabric showing through.
enum class Background {
    None,   // every cell is stitched
    Auto,   // the entry covering most of the picture's border, when it covers at least half of it
    Colour, // the entry nearest to `backgroundColour`
};

constexpr int kMaxStitches = 500;  // each way
constexpr int kMinThreadColours = 2;
constexpr int kMaxThreadColours = 60;
constexpr int kMaxClean = 2;

// How a picture becomes a pattern. Plain data, shared by every place that makes one.
struct StitchOptions {
    // Exact stitches across and down, 1 to kMaxStitches. Both 0: the chart's cell counts. Only
    // `across`: `down` follows the picture's proportions. Both: the largest centred part of the
    // picture with that proportion.
    int across = 0;
    int down = 0;
    Brand brand = Brand::Dmc;
    // The swatches become their nearest threads of `brand`.
    bool snap = false;
    // 2 to kMaxThreadColours: that many threads of `brand` chosen for the picture instead of the
    // swatches; 0: the swatches.
    int threadColours = 0;
    // 0: none; 1: lone stitches take their neighbours' thread; 2: also small regions and rare
    // threads folded into their surroundings.
    int clean = 1;
    Background background = Background::None;
    QRgb backgroundColour = 0;
    // A second maker whose nearest thread the key names beside each thread.
    std::optional<Brand> also;

    bool operator==(const StitchOptions&) const = default;
};

} // namespace trameda::stitching
