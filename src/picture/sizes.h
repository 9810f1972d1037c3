#pragma once

#include <QString>

namespace trameda::picture {

// The bars' values when the window opens and after its reset: the surfaces' width and height in
// pixels, the stitches across and down. The command line starts from the same stitches.
struct StartValues {
    int width = 600;
    int height = 600;
    int across = 45;
    int down = 50;
};
constexpr StartValues kStart;

// The names the picture list shows, letter case ignored.
QString listPattern();

// The full path of a picture in a folder; a folder that already ends in a separator (the root)
// gets no second one.
QString sourcePath(const QString& folder, const QString& fileName);

// The partner of a surface side that keeps width : height equal to stitches across : down:
// (value x numerator) / denominator, truncated, then held to max and after that to min.
int coupledSide(int value, int numerator, int denominator, int min, int max);

} // namespace trameda::picture
