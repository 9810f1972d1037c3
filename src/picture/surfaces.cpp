#include "surfaces.h"

#include "picture/picture.h"
#include "runtime/surface.h"

namespace trameda::picture {

void paintOver(ImageSurface& surface, const Picture& picture) {
    surface.setScaleHeight(200);
    surface.setScaleWidth(200);
    surface.PaintPicture(picture, 0, 0, 200, 200);
}

} // namespace trameda::picture
