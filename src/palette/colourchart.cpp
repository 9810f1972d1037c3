#include "colourchart.h"

#include <QPainter>
#include <array>

namespace trameda::palette {

namespace {

// Left panel: 12-pixel cells on a 14-pixel pitch, so 2-pixel lines between them.
constexpr int kCellLeft = 9;
constexpr int kCellTop = 8;
constexpr int kCellSize = 12;
constexpr int kCellPitch = 14;
constexpr int kCellColumns = 22;
constexpr int kCellRows = 12;

// Right panel: 14-pixel swatches on a 17-pixel pitch, 3-pixel lines black, grey, black.
constexpr int kSwatchLeft = 337;
constexpr int kSwatchTop = 42;
constexpr int kSwatchSize = 14;
constexpr int kSwatchPitch = 17;
constexpr int kSwatchCount = 8;

constexpr QRgb kFace = 0xc0c0c0;
constexpr QRgb kShadow = 0x808080;
constexpr QRgb kLight = 0xffffff;

// Block levels: the block sets red, the row in the block green, the column in the block blue.
constexpr std::array<int, 6> kUpperRed = {0xff, 0xcf, 0x9f};
constexpr std::array<int, 3> kLowerRed = {0x60, 0x30, 0x00};
constexpr std::array<int, 6> kGreenByRow = {0xff, 0xcf, 0x98, 0x67, 0x30, 0x00};
constexpr std::array<int, 6> kBlueByColumn = {0xff, 0xcf, 0x9f, 0x60, 0x30, 0x00};

constexpr std::array<QRgb, 12> kGreys = {0xffffff, 0xefefef, 0xdfdfdf, 0xbfb8bf,
                                         0xafa8af, 0x8f888f, 0x707770, 0x505750,
                                         0x404740, 0x202020, 0x101010, 0x000000};
// Rows 2 to 11 of the three one-channel ramps.
constexpr std::array<int, 10> kRedRamp = {0xef, 0xdf, 0xbf, 0xaf, 0x8f,
                                          0x70, 0x50, 0x40, 0x20, 0x10};
constexpr std::array<int, 10> kGreenRamp = {0xef, 0xdf, 0xb8, 0xa8, 0x88,
                                            0x77, 0x57, 0x47, 0x20, 0x10};
constexpr std::array<int, 10> kBlueRamp = kRedRamp;

constexpr std::array<std::array<QRgb, 8>, 8> kSwatches = {{
    {0xffffff, 0xffbfbf, 0xffdfbf, 0xffffbf, 0xbfffbf, 0xbfffff, 0xbfbfff, 0xffbfff},
    {0xdfdfdf, 0xff7f7f, 0xffbf7f, 0xffff7f, 0x7fff7f, 0x7fffff, 0x7f7fff, 0xff7fff},
    {0xbfbfbf, 0xff0000, 0xff7f00, 0xffff00, 0x00ff00, 0x00ffff, 0x0000ff, 0xff00ff},
    {0x7f7f7f, 0xbf0000, 0xbf3f00, 0xbfbf00, 0x00bf00, 0x00bfbf, 0x0000bf, 0xbf00bf},
    {0x3f3f3f, 0x7f0000, 0x7f3f00, 0x7f7f00, 0x007f00, 0x007f7f, 0x00007f, 0x7f007f},
    {0x000000, 0x3f0000, 0x7f3f3f, 0x3f3f00, 0x003f00, 0x003f3f, 0x00003f, 0x3f003f},
    {0xefefef, 0xefe7df, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff},
    {0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff},
}};

QRgb rgb(int red, int green, int blue) {
    return qRgb(red, green, blue);
}

// The colour of a left-panel cell; columns 19 to 21 of rows 0 and 1 are the grey area.
QRgb cellColour(int column, int row) {
    if (column < 18) {
        const int block = column / 6;
        const int red = row < 6 ? kUpperRed[std::size_t(block)] : kLowerRed[std::size_t(block)];
        return rgb(red, kGreenByRow[std::size_t(row % 6)], kBlueByColumn[std::size_t(column % 6)]);
    }
    if (column == 18)
        return kGreys[std::size_t(row)];
    const auto level = [row](const std::array<int, 10>& ramp) {
        return ramp[std::size_t(row - 2)];
    };
    if (column == 19)
        return rgb(level(kRedRamp), 0, 0);
    if (column == 20)
        return rgb(0, level(kGreenRamp), 0);
    return rgb(0, 0, level(kBlueRamp));
}

// A 1-pixel frame just outside `r`: dark above and left, light below and right.
void sunkenFrame(QPainter& p, const QRect& r) {
    const QRect outer = r.adjusted(-1, -1, 1, 1);
    p.fillRect(QRect(outer.left(), outer.top(), outer.width(), 1), QColor(kShadow));
    p.fillRect(QRect(outer.left(), outer.top(), 1, outer.height()), QColor(kShadow));
    p.fillRect(QRect(outer.left(), outer.bottom(), outer.width(), 1), QColor(kLight));
    p.fillRect(QRect(outer.right(), outer.top(), 1, outer.height()), QColor(kLight));
}

// The black ground of a panel of `columns` x `rows` cells whose first cell's top left is `first`:
// the lines between the cells and round them, in a sunken frame. Returns the ground.
QRect panelGround(QPainter& p, QPoint first, int columns, int rows, int pitch, int size) {
    const int gap = pitch - size;
    const QRect ground(first.x() - gap, first.y() - gap, columns * pitch + gap, rows * pitch + gap);
    p.fillRect(ground, Qt::black);
    sunkenFrame(p, ground);
    return ground;
}

void drawCells(QPainter& p) {
    panelGround(p, {kCellLeft, kCellTop}, kCellColumns, kCellRows, kCellPitch, kCellSize);
    for (int column = 0; column < kCellColumns; ++column)
        for (int row = 0; row < kCellRows; ++row) {
            if (column >= 19 && row < 2)
                continue;
            p.fillRect(kCellLeft + column * kCellPitch, kCellTop + row * kCellPitch, kCellSize,
                       kCellSize, QColor(cellColour(column, row)));
        }

    // The grey area takes the place of six cells and the lines between them.
    const QRect area(kCellLeft + 19 * kCellPitch, kCellTop, 2 * kCellPitch + kCellSize,
                     kCellPitch + kCellSize);
    p.fillRect(area, QColor(kFace));
    // Its sunken border lies two pixels inside it.
    sunkenFrame(p, area.adjusted(3, 3, -3, -3));
}

void drawSwatches(QPainter& p) {
    const QRect grid = panelGround(p, {kSwatchLeft, kSwatchTop}, kSwatchCount, kSwatchCount,
                                   kSwatchPitch, kSwatchSize);
    // The middle pixel of every 3-pixel line is grey.
    for (int i = 0; i <= kSwatchCount; ++i) {
        const int at = kSwatchLeft - 2 + i * kSwatchPitch;
        p.fillRect(at, grid.top() + 1, 1, grid.height() - 2, QColor(0x7f7f7f));
        p.fillRect(grid.left() + 1, kSwatchTop - 2 + i * kSwatchPitch, grid.width() - 2, 1,
                   QColor(0x7f7f7f));
    }
    for (int row = 0; row < kSwatchCount; ++row)
        for (int column = 0; column < kSwatchCount; ++column)
            p.fillRect(kSwatchLeft + column * kSwatchPitch, kSwatchTop + row * kSwatchPitch,
                       kSwatchSize, kSwatchSize,
                       QColor(kSwatches[std::size_t(row)][std::size_t(column)]));
}

} // namespace

QImage colourChart() {
    QImage image(kChartWidth, kChartHeight, QImage::Format_RGB32);
    image.fill(kFace);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawCells(p);
    drawSwatches(p);
    return image;
}

} // namespace trameda::palette
