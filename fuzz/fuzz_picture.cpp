// The window's picture loading on arbitrary bytes: decoded at a bounded size and stretched over
// a work surface, or refused with a run-time error; never a crash or an unbounded allocation.
// JPEG and PNG go through the program's own libjpeg and libpng readers, GIF and BMP through Qt's.
#include "picture/picture.h"
#include "picture/surfaces.h"
#include "runtime/runtimeerror.h"
#include "runtime/surface.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Decoders complain about every damaged input; printing that would dominate the run.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static QGuiApplication app(*argc, *argv); // image format plugins
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The program's own limits, shrunk to what the search can afford for one input: under the
    // sanitizers a picture of the program's largest sizes takes half a minute.
    trameda::ReadLimits limits;
    limits.maxPixels = 4'000'000;
    limits.maxWholePixels = 4'000'000;
    limits.jpegWorkingBytes = 32 << 20;
    limits.milliseconds = 10'000;
    try {
        const trameda::Picture picture = trameda::decodePicture(bytes, limits);
        if (picture.size().width() > trameda::Picture::kMaxSide ||
            picture.size().height() > trameda::Picture::kMaxSide)
            std::abort();
        trameda::ImageSurface surface;
        surface.resizeImage(QSize(61, 47));
        surface.setScaleWidth(200);
        surface.setScaleHeight(200);
        trameda::picture::PaintPicture(surface, picture, 0, 0, 200, 200);
        (void)surface.Point(100, 100);
    } catch (const trameda::RuntimeError&) {
    }
    return 0;
}
