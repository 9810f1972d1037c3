#include "pngreader.h"

#include "picture.h"
#include "readlimits.h"
#include "runtime/runtimeerror.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <csetjmp>
#include <cstdlib>
#include <png.h>

namespace trameda {

namespace png {

namespace {

// Bytes of compressed data the last row may take in beyond its own: the end of the compressed
// stream and its checksum are a few bytes. Without a bound, a few megabytes of data that go on
// past the picture would be inflated to gigabytes, only to be thrown away.
constexpr qint64 kAfterLastRow = 64 * 1024;

enum class Stop { None, Library, TooLarge, Excess, Time, ReadError, Memory };

// One decoding with libpng. Its errors, and the stops the limits call for, leave libpng by
// longjmp back to decode(), which makes every call that can fail and holds nothing that needs
// destroying; everything the callbacks reach lives in this object.
class Decoder {
public:
    Decoder(QIODevice& device, const ReadLimits& limits, const QElapsedTimer& clock)
        : m_device(device), m_limits(limits), m_clock(clock) {}
    ~Decoder() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    QImage read();

private:
    bool decode();
    [[noreturn]] void stop(Stop why);
    void watch();
    [[noreturn]] void fail() const;

    static Decoder& of(png_structp png) { return *static_cast<Decoder*>(png_get_error_ptr(png)); }
    static void error(png_structp png, png_const_charp) { of(png).stop(Stop::Library); }
    static void warning(png_structp, png_const_charp) {}
    static png_voidp allocate(png_structp png, png_alloc_size_t size);
    static void release(png_structp, png_voidp block) { std::free(block); }
    static void readData(png_structp png, png_bytep data, std::size_t length);

    QIODevice& m_device;
    const ReadLimits& m_limits;
    const QElapsedTimer& m_clock;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    Stop m_stop = Stop::None;
    bool m_allocationFailed = false;
    qint64 m_bytesLeft = -1; // while the last row is read: what it may still take in
    QImage m_image;
};

void Decoder::stop(Stop why) {
    if (m_stop == Stop::None)
        m_stop = m_allocationFailed ? Stop::Memory : why;
    png_longjmp(m_png, 1);
}

void Decoder::watch() {
    if (m_clock.elapsed() >= m_limits.milliseconds)
        stop(Stop::Time);
}

png_voidp Decoder::allocate(png_structp png, png_alloc_size_t size) {
    void* block = std::malloc(size);
    if (!block)
        static_cast<Decoder*>(png_get_mem_ptr(png))->m_allocationFailed = true;
    return block;
}

void Decoder::readData(png_structp png, png_bytep data, std::size_t length) {
    Decoder& self = *static_cast<Decoder*>(png_get_io_ptr(png));
    self.watch();
    if (self.m_bytesLeft >= 0) {
        self.m_bytesLeft -= qint64(length);
        if (self.m_bytesLeft < 0)
            self.stop(Stop::Excess);
    }
    while (length > 0) {
        const qint64 count = self.m_device.read(reinterpret_cast<char*>(data), qint64(length));
        if (count < 0)
            self.stop(Stop::ReadError);
        if (count == 0) // cut short
            self.stop(Stop::Library);
        data += count;
        length -= std::size_t(count);
    }
}

bool Decoder::decode() {
    m_png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, this, error, warning, this, allocate,
                                     release);
    if (!m_png)
        throw std::bad_alloc();
    m_info = png_create_info_struct(m_png);
    if (!m_info)
        throw std::bad_alloc();
    if (setjmp(png_jmpbuf(m_png)))
        return false;

    png_set_read_fn(m_png, this, readData);
    // The sides are checked here against the program's own limits, which name the cause.
    png_set_user_limits(m_png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    // Text, colour profiles and the like are skipped unread: nothing of them is shown.
    png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(m_png, m_info);
    const png_uint_32 width = png_get_image_width(m_png, m_info);
    const png_uint_32 height = png_get_image_height(m_png, m_info);
    if (exceedsLimits(QSize(int(width), int(height)), m_limits.maxWholePixels, m_limits))
        stop(Stop::TooLarge);

    // Every kind of PNG as red, green, blue and alpha, 8 bits each, in RGBA8888's byte order.
    png_set_expand(m_png);
    png_set_scale_16(m_png);
    png_set_gray_to_rgb(m_png);
    png_set_add_alpha(m_png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(m_png);
    png_read_update_info(m_png, m_info);

    m_image = QImage(int(width), int(height), QImage::Format_RGBA8888);
    if (m_image.isNull())
        throw std::bad_alloc();
    // The most a row holds before it is filtered: four 16-bit samples a pixel.
    const qint64 rawRow = qint64(width) * 8 + 1;
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < int(height); ++y) {
            if (pass == passes - 1 && y == int(height) - 1)
                m_bytesLeft = rawRow + kAfterLastRow;
            png_read_row(m_png, m_image.scanLine(y), nullptr);
            watch();
        }
    }
    return true;
}

[[noreturn]] void Decoder::fail() const {
    switch (m_stop) {
    case Stop::TooLarge:
        refuseAsTooLarge(
            {int(png_get_image_width(m_png, m_info)), int(png_get_image_height(m_png, m_info))});
    case Stop::Excess:
        throw RuntimeError(RuntimeError::InvalidPicture,
                           QStringLiteral("immagine png con dati in eccesso"));
    case Stop::Time:
        refuseAsTooSlow(m_limits);
    case Stop::ReadError:
        throw RuntimeError(RuntimeError::FileAccess, QStringLiteral("errore di lettura del file"));
    case Stop::Memory:
        throw std::bad_alloc();
    case Stop::None:
    case Stop::Library:
        break;
    }
    throw RuntimeError(RuntimeError::InvalidPicture, QStringLiteral("immagine png danneggiata"));
}

// Transparent parts on white, in place: RGBA8888 becomes RGB32, four bytes a pixel either way.
QImage opaqueOnWhite(QImage image) {
    for (int y = 0; y < image.height(); ++y) {
        const uchar* in = image.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x, in += 4) {
            const int alpha = in[3];
            const auto onWhite = [alpha](int c) { return (c * alpha + 255 * (255 - alpha)) / 255; };
            out[x] = qRgb(onWhite(in[0]), onWhite(in[1]), onWhite(in[2]));
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

QImage Decoder::read() {
    if (!decode())
        fail();
    return opaqueOnWhite(std::move(m_image));
}

} // namespace

QImage read(QIODevice& device, const ReadLimits& limits, const QElapsedTimer& clock) {
    Decoder decoder(device, limits, clock);
    return decoder.read();
}

} // namespace png

} // namespace trameda
