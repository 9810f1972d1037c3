#pragma once

// What the benchmark programs share: large photos made once into a cache folder, and the peak
// memory of the process.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <cmath>

// A photo of `megapixels` (noise and gradients, so JPEG has real work), made on first use into
// ~/.cache/trameda-bench.
inline QString benchPhoto(int megapixels) {
    const QString folder =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
            .filePath(QStringLiteral("trameda-bench"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("foto%1mp.jpg").arg(megapixels));
    if (QFile::exists(path))
        return path;
    const int width = int(std::sqrt(megapixels * 1e6 * 4 / 3));
    const int height = int(megapixels * 1e6 / width);
    QImage image(width, height, QImage::Format_RGB888);
    QRandomGenerator random(static_cast<quint32>(megapixels));
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(24));
            line[3 * x] = uchar((x * 255 / width + noise) & 0xFF);
            line[3 * x + 1] = uchar((y * 255 / height + noise) & 0xFF);
            line[3 * x + 2] = uchar(((x + y) / 7 + noise) & 0xFF);
        }
    }
    if (!image.save(path, "JPG", 90))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The high-water mark of this process's own memory. (getrusage would report the parent's, which
// a child started by fork and exec inherits.)
inline long peakResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}
