#pragma once

#include <QImage>

namespace trameda::palette {

// The colour chart the left-button picker shows: a panel of 22 x 12 cells (six colour blocks,
// a column of greys, three one-channel ramps and a plain grey area) and a panel of 8 x 8
// swatches. Users pick from it by pixel, so every cell is exactly its colour.
constexpr int kChartWidth = 484;
constexpr int kChartHeight = 181;

QImage colourChart();

} // namespace trameda::palette
