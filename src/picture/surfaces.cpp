#include "surfaces.h"

#include "picture/picture.h"
#include "runtime/surface.h"

namespace trameda::picture {

void paintOver(ImageSurface& surface, const Picture& picture) {
    surface.setScaleHeight(200);
    surface.setScaleWidth(200);
    PaintPicture(surface, picture, 0, 0, 200, 200);
}

void PaintPicture(ImageSurface& surface, const Picture& picture, double x, double y, double width,
                  double height) {
    if (picture.isNull())
        return;
    surface.PaintScaled(x, y, width, height, [&](QSize size) { return picture.scaled(size); });
}

} // namespace trameda::picture
