#include "picture.h"

#include "files/names.h"
#include "files/safewrite.h"
#include "imagescale.h"
#include "jpegreader.h"
#include "pngreader.h"
#include "readlimits.h"
#include "runtime/runtimeerror.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace trameda {

struct Picture::Data {
    QImage image;
    QSize proportions;
    // Copies of a picture share it, and may be scaled from several threads at once.
    mutable std::mutex scaledLock;
    mutable std::deque<QImage> scaledCache;
};

Picture::Picture(QImage image, QSize proportions) : m_data(std::make_shared<Data>()) {
    m_data->proportions = proportions.isEmpty() ? image.size() : proportions;
    m_data->image = std::move(image);
}

QSize Picture::size() const {
    return m_data ? m_data->image.size() : QSize();
}

QSize Picture::proportions() const {
    return m_data ? m_data->proportions : QSize();
}

const QImage& Picture::image() const {
    static const QImage none;
    return m_data ? m_data->image : none;
}

QImage Picture::scaled(QSize size) const {
    if (!m_data || size.isEmpty())
        return {};
    auto& cache = m_data->scaledCache;
    {
        const std::lock_guard lock(m_data->scaledLock);
        for (const QImage& done : cache)
            if (done.size() == size)
                return done;
    }
    QImage result = areaScale(m_data->image, size);
    const std::lock_guard lock(m_data->scaledLock);
    cache.push_front(result);
    constexpr std::size_t kKept = 6;
    if (cache.size() > kKept)
        cache.pop_back();
    return result;
}

namespace {

RuntimeError outOfMemory() {
    return RuntimeError(RuntimeError::OutOfMemory);
}

RuntimeError damaged(const char* format) {
    return RuntimeError(RuntimeError::InvalidPicture,
                        QStringLiteral("immagine %1 danneggiata").arg(QLatin1String(format)));
}

// The picture opaque, transparent parts on white, as RGB32. Converted a strip at a time: Qt
// converts a large image on worker threads, and where memory is short a thread that cannot start
// leaves the conversion waiting for ever; a strip this small is converted on the calling thread.
QImage opaqueOnWhite(const QImage& image) {
    if (image.format() == QImage::Format_RGB32)
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    if (flat.isNull())
        throw std::bad_alloc();
    const int width = image.width();
    const int rows = std::max(1, 0xFFFF / width);
    for (int top = 0; top < image.height(); top += rows) {
        const int count = std::min(rows, image.height() - top);
        const QImage strip =
            image.copy(0, top, width, count).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (strip.isNull())
            throw std::bad_alloc();
        for (int r = 0; r < count; ++r) {
            const auto* in = reinterpret_cast<const QRgb*>(strip.constScanLine(r));
            auto* out = reinterpret_cast<QRgb*>(flat.scanLine(top + r));
            for (int x = 0; x < width; ++x) {
                const int white = 255 - qAlpha(in[x]);
                out[x] = qRgb(qRed(in[x]) + white, qGreen(in[x]) + white, qBlue(in[x]) + white);
            }
        }
    }
    return flat;
}

// The size a BMP's header claims. Qt's reader turns down a header claiming more than it would
// decode as if it were damaged; this names the real cause.
QSize bmpClaim(QIODevice& device) {
    const QByteArray header = device.peek(26);
    if (header.size() < 26)
        return {};
    const char* at = header.constData();
    if (qFromLittleEndian<quint32>(at + 14) == 12) // the old OS/2 header: 16-bit sides
        return {qFromLittleEndian<quint16>(at + 18), qFromLittleEndian<quint16>(at + 20)};
    const qint64 height = qFromLittleEndian<qint32>(at + 22); // negative: stored top down
    return {qFromLittleEndian<qint32>(at + 18), int(std::min<qint64>(std::abs(height), INT_MAX))};
}

// Another device as a decoder reads it while the clock runs: once the reading's time is up, every
// read fails, so a decoder that takes in data without end (a frame that never ends) stops there.
class TimedDevice final : public QIODevice {
public:
    TimedDevice(QIODevice& source, const QElapsedTimer& clock, int milliseconds)
        : m_source(source), m_start(source.pos()), m_clock(clock), m_milliseconds(milliseconds) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool timeIsUp() const { return m_timeIsUp; }
    // Reads past `bytes` from the start fail, and excess() then tells why.
    void limitTo(qint64 bytes) { m_budget = bytes; }
    bool excess() const { return m_excess; }
    bool isSequential() const override { return m_source.isSequential(); }
    qint64 size() const override { return m_source.size() - m_start; }
    bool seek(qint64 position) override {
        return QIODevice::seek(position) && m_source.seek(m_start + position);
    }

protected:
    qint64 readData(char* data, qint64 count) override {
        m_timeIsUp = m_timeIsUp || m_clock.elapsed() >= m_milliseconds;
        if (m_timeIsUp)
            return -1;
        if (m_budget >= 0) {
            const qint64 left = m_budget - (m_source.pos() - m_start);
            if (left <= 0) {
                m_excess = true;
                return -1;
            }
            count = std::min(count, left);
        }
        return m_source.read(data, count);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& m_source;
    const qint64 m_start;
    const QElapsedTimer& m_clock;
    const int m_milliseconds;
    qint64 m_budget = -1;
    bool m_timeIsUp = false;
    bool m_excess = false;
};

// A GIF frame's compressed data take at most 12 bits a pixel, and an encoder's clear codes
// add a few per thousand: twice the pixels in bytes, beside a megabyte of palettes and
// comments, is more than any real first frame needs. Past that the data are not a picture's,
// and reading them would only cost time.
qint64 gifBudget(QSize claimed) {
    return (qint64(1) << 20) + 2 * qint64(claimed.width()) * claimed.height();
}

// GIF and BMP, by Qt's decoders, which decode the whole picture: its size is checked first.
QImage readWhole(QIODevice& source, const char* format, const ReadLimits& limits,
                 const QElapsedTimer& clock) {
    const bool bmp = qstrcmp(format, "bmp") == 0;
    const QSize bmpHeader = bmp ? bmpClaim(source) : QSize();
    TimedDevice device(source, clock, limits.milliseconds);
    QImageReader reader(&device, format);
    QSize claimed = reader.size();
    if (bmp) // a BMP stored top down has a negative height
        claimed.setHeight(std::abs(claimed.height()));
    if (device.timeIsUp())
        refuseAsTooSlow(limits);
    if (!claimed.isValid() || claimed.isEmpty()) {
        if (!bmpHeader.isEmpty())
            refuseIfTooLarge(bmpHeader, limits.maxWholePixels, limits);
        throw damaged(format);
    }
    refuseIfTooLarge(claimed, limits.maxWholePixels, limits);
    if (!bmp)
        device.limitTo(gifBudget(claimed));
    const QImage image = reader.read();
    if (device.timeIsUp())
        refuseAsTooSlow(limits);
    if (device.excess())
        throw RuntimeError(RuntimeError::InvalidPicture,
                           QStringLiteral("immagine gif con dati in eccesso"));
    if (image.isNull()) {
        // A decoder reports an allocation that failed as it reports damaged data; whether an
        // image of that size can be had now tells the two apart.
        if (QImage(claimed, QImage::Format_ARGB32).isNull())
            throw outOfMemory();
        throw damaged(format);
    }
    refuseIfTooLarge(image.size(), limits.maxWholePixels, limits);
    return opaqueOnWhite(image);
}

// A picture of the three kinds the program opens, known by its first bytes, at most
// Picture::kMaxSide pixels on either side.
// Both sides are bounded apart, so a large photo may come out square: the picture keeps the
// proportions it was decoded in.
Picture decodeBounded(QIODevice& device, const ReadLimits& limits, const QElapsedTimer& clock) {
    const QByteArray head = device.peek(4);
    QImage image;
    if (head.startsWith("\xFF\xD8\xFF"))
        image = jpeg::read(device, Picture::kMaxSide, limits, clock);
    else if (head.startsWith("GIF8"))
        image = readWhole(device, "gif", limits, clock);
    else if (head.startsWith("BM"))
        image = readWhole(device, "bmp", limits, clock);
    else if (head.startsWith("\x89PNG"))
        image = png::read(device, limits, clock); // a download saved under a photo's name
    else
        throw RuntimeError(RuntimeError::InvalidPicture,
                           QStringLiteral("non è un'immagine jpg, gif o bmp"));
    const QSize decoded = image.size();
    const QSize bounded = decoded.boundedTo({Picture::kMaxSide, Picture::kMaxSide});
    return Picture(decoded == bounded ? image : areaScale(std::move(image), bounded), decoded);
}

// Runs a reading, with a failed allocation reported as the run-time error for memory.
template <typename Reading> Picture reportingMemory(Reading&& reading) {
    try {
        return reading();
    } catch (const std::bad_alloc&) {
        throw outOfMemory();
    }
}

struct FileKey {
    QString path;
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = -1;
    qint64 modified = 0; // nanoseconds
    bool operator==(const FileKey&) const = default;
};

// Opens `path` for reading into `file`. Only a regular file is opened at all: a device or a
// fifo could block or act on being opened.
FileKey openPicture(const QString& path, QFile& file) {
    const QByteArray name = nameBytes(path);
    const auto refuseKind = [](const struct stat& status) {
        if (!S_ISREG(status.st_mode))
            throw RuntimeError(S_ISDIR(status.st_mode) ? RuntimeError::FileNotFound
                                                       : RuntimeError::FileAccess,
                               notRegular(status));
    };
    const auto notFound = [] { return RuntimeError(RuntimeError::FileNotFound); };
    if (name.isEmpty())
        throw notFound();
    struct stat status {};
    if (::stat(name.constData(), &status) == 0)
        refuseKind(status);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            throw notFound();
        if (error == ENOMEM)
            throw outOfMemory();
        if (error == EACCES || error == EPERM)
            throw RuntimeError(RuntimeError::PermissionDenied);
        throw RuntimeError(RuntimeError::FileAccess, writeErrorText(error));
    }
    // What was opened may not be what was looked at a moment before.
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        refuseKind(status);
        throw RuntimeError(RuntimeError::FileAccess, QStringLiteral("errore di lettura del file"));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw RuntimeError(RuntimeError::FileAccess, QStringLiteral("errore di lettura del file"));
    }
    return {QFileInfo(path).absoluteFilePath(), status.st_dev, status.st_ino,
            qint64(status.st_size),
            qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

} // namespace

QString failureCause(const RuntimeError& error) {
    if (!error.detail().isEmpty())
        return error.detail();
    switch (error.code()) {
    case RuntimeError::FileNotFound:
        return QStringLiteral("file non trovato");
    case RuntimeError::PermissionDenied:
        return QStringLiteral("permesso negato");
    case RuntimeError::OutOfMemory:
        return QStringLiteral("memoria insufficiente");
    default:
        return standardDescription(error.code());
    }
}

Picture decodePicture(const QByteArray& bytes, const ReadLimits& limits) {
    QElapsedTimer clock;
    clock.start();
    return reportingMemory([&] {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return decodeBounded(buffer, limits, clock);
    });
}

Picture LoadPicture(const QString& path, const ReadLimits& limits) {
    // The last picture read, for the same file read within the same limits. Guarded, since
    // pictures may be read from several threads; the decoding itself runs outside the lock.
    struct Last {
        std::mutex lock;
        FileKey key;
        ReadLimits limits;
        Picture picture;
    };
    static Last last;

    QElapsedTimer clock;
    clock.start();
    QFile file;
    const FileKey key = openPicture(path, file);
    {
        const std::lock_guard lock(last.lock);
        if (key == last.key && limits == last.limits && !last.picture.isNull())
            return last.picture;
    }
    Picture picture = reportingMemory([&] { return decodeBounded(file, limits, clock); });
    const std::lock_guard lock(last.lock);
    last.key = key;
    last.limits = limits;
    last.picture = picture;
    return picture;
}

} // namespace trameda
