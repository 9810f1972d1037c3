#pragma once

namespace trameda {
class ImageSurface;
class Picture;
} // namespace trameda

namespace trameda::picture {

// Gives a work surface the 200 x 200 scale the chart is laid out in and paints the picture
// stretched over all of it. A null picture leaves the surface as it was.
void paintOver(ImageSurface& surface, const Picture& picture);

} // namespace trameda::picture
