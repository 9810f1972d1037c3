#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>
#include <memory>

// Reading and scaling pictures holds no state that is not guarded: LoadPicture(),
// decodePicture() and Picture (copies included) may be used from any thread, a worker's as well
// as the GUI's.

namespace trameda {

class RuntimeError;

// A decoded source picture: opaque (transparent parts on white) and at most kMaxSide pixels on
// each axis, which is more than the largest work surface can show. Copies share the pixels.
class Picture {
public:
    static constexpr int kMaxSide = 1400;

    Picture() = default;
    // `proportions`: the shape of the picture as it was before it was bounded, if it was.
    explicit Picture(QImage image, QSize proportions = {});

    bool isNull() const { return !m_data; }
    QSize size() const;
    // The picture's own proportions, which its bounded pixels may have lost.
    QSize proportions() const;
    const QImage& image() const;
    // The picture stretched to `size` by area averaging. The last few results are kept, since a
    // size change repaints both surfaces, three times over, at the same few sizes.
    QImage scaled(QSize size) const;

private:
    struct Data;
    std::shared_ptr<Data> m_data;
};

// What a picture file may claim and cost before it is refused. The defaults take a 100-megapixel
// photo, baseline or progressive, and keep the whole program under 400 MB and the reading under
// 3 seconds whatever a file claims.
struct ReadLimits {
    int maxSide = 30000; // pixels on either side
    // JPEG shrinks while it decodes, so its size costs time, not memory.
    qint64 maxPixels = 120'000'000;
    // GIF and BMP are decoded whole before they are shrunk: 32 megapixels are 128 MB.
    qint64 maxWholePixels = 32'000'000;
    // A progressive (or multi-scan) JPEG is held whole while its scans come in, two bytes for
    // every sample: 300 MiB take a 100-megapixel colour photo as cameras and most programs
    // write it (colour at half resolution both ways).
    qint64 jpegWorkingBytes = qint64(300) << 20;
    // Real progressive JPEGs have about ten scans; each scan visits the whole picture again.
    int maxScans = 100;
    // Time for the whole reading, however the data is made.
    int milliseconds = 2500;

    bool operator==(const ReadLimits&) const = default;
};

// Decodes a jpg, gif or bmp file (recognised by its content, not its name) at a bounded size.
// A picture file that is unchanged on disk (same path, file, size and modification time) as at
// the previous call, read within the same limits, is not decoded again. Only regular files are opened. Throws RuntimeError:
// FileNotFound (also for a folder), PermissionDenied, FileAccess (not a regular file, a read
// error), InvalidPicture (not a picture, damaged, too large, too many scans, too slow) or
// OutOfMemory, with a detail in a few Italian words where the code alone does not say it all
// ("immagine troppo grande: L x A pixel").
Picture LoadPicture(const QString& path, const ReadLimits& limits = {});

// The cause of a failed reading in a few Italian words, for a message that names the file: "file
// non trovato", "permesso negato", "memoria insufficiente", or the error's detail.
QString failureCause(const RuntimeError& error);

// The same decoding for a picture held in memory; no caching.
Picture decodePicture(const QByteArray& bytes, const ReadLimits& limits = {});

} // namespace trameda
