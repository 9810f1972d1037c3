// Writes small pictures of each format the program opens, as starting points for fuzz_picture.
#include "support/gif.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seeds_fuzz_picture FOLDER\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    QImage image(12, 9, QImage::Format_RGB32);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x)
            image.setPixel(x, y, qRgb(x * 20, y * 28, (x + y) * 10));
    // Progressive JPEG in colour and in grey: several scans, refinements, the whole-picture
    // buffer.
    const auto progressive = [&](const QImage& picture, const QString& name) {
        QImageWriter writer(dir.filePath(name), "jpeg");
        writer.setProgressiveScanWrite(true);
        return writer.write(picture);
    };
    bool ok = image.save(dir.filePath(QStringLiteral("seme.jpg")), "JPG", 80) &&
              progressive(image, QStringLiteral("seme-progressivo.jpg")) &&
              progressive(image.convertToFormat(QImage::Format_Grayscale8),
                          QStringLiteral("seme-grigio.jpg")) &&
              image.save(dir.filePath(QStringLiteral("seme.bmp")), "BMP") &&
              image.convertToFormat(QImage::Format_Indexed8)
                  .save(dir.filePath(QStringLiteral("seme8.bmp")), "BMP") &&
              image.save(dir.filePath(QStringLiteral("seme.png")), "PNG") &&
              image.convertToFormat(QImage::Format_RGBA64)
                  .save(dir.filePath(QStringLiteral("seme16.png")), "PNG");
    GifFrame frame = uniformFrame({6, 4}, 0);
    frame.indices[5] = 1;
    QFile gif(dir.filePath(QStringLiteral("seme.gif")));
    ok = ok && gif.open(QIODevice::WriteOnly) &&
         gif.write(encodeGif({6, 4}, {qRgb(255, 0, 0), qRgb(0, 0, 255)}, {frame, frame}, 1)) > 0;
    return ok ? 0 : 1;
}
