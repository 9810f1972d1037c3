#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <memory>

namespace trameda {

// A decoded source picture: opaque (transparent parts on white) and at most kMaxSide pixels on
// each axis, which is more than the largest work surface can show. Copies share the pixels.
class Picture {
public:
    static constexpr int kMaxSide = 1400;

    Picture() = default;
    explicit Picture(QImage image);

    bool isNull() const { return !m_data; }
    QSize size() const;
    const QImage& image() const;
    // The picture stretched to `size` by area averaging. The last few results are kept, since a
    // size change repaints both surfaces, three times over, at the same few sizes.
    QImage scaled(QSize size) const;

private:
    struct Data;
    std::shared_ptr<Data> m_data;
};

// Decodes a jpg, gif or bmp file at a bounded size. A picture file that is unchanged on disk
// (same path, size and modification time) as at the previous call is not decoded again.
// Throws RuntimeError: FileNotFound when there is no such file, InvalidPicture when it cannot be
// decoded, with the reason as detail.
Picture LoadPicture(const QString& path);

// The same decoding for a picture held in memory; no caching.
Picture decodePicture(const QByteArray& bytes);

} // namespace trameda
