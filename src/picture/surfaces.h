#pragma once

namespace trameda {
class ImageSurface;
class Picture;
} // namespace trameda

namespace trameda::picture {

// Gives a work surface the 200 x 200 scale the chart is laid out in and paints the picture
// stretched over all of it. A null picture leaves the surface as it was.
void paintOver(ImageSurface& surface, const Picture& picture);

// Paints `picture` stretched over the box (x, y)-(x + width, y + height) of `surface`. A null
// picture leaves the surface as it was.
void PaintPicture(ImageSurface& surface, const Picture& picture, double x, double y, double width,
                  double height);

} // namespace trameda::picture
