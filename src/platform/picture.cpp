#include "picture.h"

#include "imagescale.h"
#include "runtimeerror.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <deque>
#include <utility>

namespace trameda {

struct Picture::Data {
    QImage image;
    mutable std::deque<QImage> scaledCache;
};

Picture::Picture(QImage image) : m_data(std::make_shared<Data>()) {
    m_data->image = std::move(image);
}

QSize Picture::size() const {
    return m_data ? m_data->image.size() : QSize();
}

const QImage& Picture::image() const {
    static const QImage none;
    return m_data ? m_data->image : none;
}

QImage Picture::scaled(QSize size) const {
    if (!m_data || size.isEmpty())
        return {};
    auto& cache = m_data->scaledCache;
    for (const QImage& done : cache)
        if (done.size() == size)
            return done;
    QImage result = areaScale(m_data->image, size);
    cache.push_front(result);
    constexpr std::size_t kKept = 6;
    if (cache.size() > kKept)
        cache.pop_back();
    return result;
}

namespace {

QImage flattenOnWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

QImage decodeBounded(QImageReader& reader) {
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (!full.isValid() || full.isEmpty())
        throw RuntimeError(RuntimeError::InvalidPicture, reader.errorString());

    const QSize bounded(std::min(full.width(), Picture::kMaxSide),
                        std::min(full.height(), Picture::kMaxSide));
    // JPEG can be shrunk while it is decoded, so a large photo never exists at full size.
    if (bounded != full && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(bounded);

    QImage image = reader.read();
    if (image.isNull())
        throw RuntimeError(RuntimeError::InvalidPicture, reader.errorString());
    image = flattenOnWhite(image);
    if (image.width() > Picture::kMaxSide || image.height() > Picture::kMaxSide)
        image = areaScale(image, bounded);
    return image;
}

struct FileKey {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const FileKey&) const = default;
};

} // namespace

Picture decodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return Picture(decodeBounded(reader));
}

Picture LoadPicture(const QString& path) {
    static FileKey lastKey;
    static Picture lastPicture;

    const QFileInfo info(path);
    if (!info.isFile())
        throw RuntimeError(RuntimeError::FileNotFound, path);
    const FileKey key{info.absoluteFilePath(), info.size(), info.lastModified()};
    if (key == lastKey && !lastPicture.isNull())
        return lastPicture;

    QImageReader reader(path);
    Picture picture(decodeBounded(reader));
    lastKey = key;
    lastPicture = picture;
    return picture;
}

} // namespace trameda
