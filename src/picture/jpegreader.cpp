#include "jpegreader.h"

#include "picture.h"
#include "readlimits.h"
#include "runtime/runtimeerror.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QIODevice>
#include <QImageReader>
#include <QTransform>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <vector>

namespace trameda {

namespace jpeg {

namespace {

// libjpeg writes the rows straight into the image, in RGB32's byte order, with the fourth byte
// set to 0xFF.
constexpr J_COLOR_SPACE kRgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// The first Exif block, which gives the orientation, is kept as the header goes by; a block is at
// most this long.
constexpr std::size_t kMaxMarker = 65533;

enum class Stop { None, Library, TooLarge, Scans, Time, ReadError };

// One decoding with libjpeg. Its errors, and the stops the limits call for, leave libjpeg by
// longjmp back to decode(), which makes every call that can fail and holds nothing that needs
// destroying; everything the callbacks reach lives in this object.
class Decoder {
public:
    Decoder(QIODevice& device, const ReadLimits& limits, const QElapsedTimer& clock)
        : m_device(device), m_limits(limits), m_clock(clock), m_buffer(64 * 1024) {
        m_exif.reserve(kMaxMarker); // filled inside libjpeg, where nothing may throw
    }
    ~Decoder() { jpeg_destroy_decompress(&m_info); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    QImage read(int maxSide);

private:
    bool decode(int maxSide);
    [[noreturn]] void stop(Stop why);
    void watch();
    [[noreturn]] void fail() const;

    static Decoder& of(j_common_ptr info) { return *static_cast<Decoder*>(info->client_data); }
    static Decoder& of(j_decompress_ptr info) { return *static_cast<Decoder*>(info->client_data); }
    static void errorExit(j_common_ptr info);
    static void outputMessage(j_common_ptr) {}
    static void progress(j_common_ptr info) { of(info).watch(); }
    static void initSource(j_decompress_ptr) {}
    static boolean fillInput(j_decompress_ptr info);
    static void skipInput(j_decompress_ptr info, long count);
    static void termSource(j_decompress_ptr) {}
    static boolean readApp1(j_decompress_ptr info);
    JOCTET nextByte();

    QIODevice& m_device;
    const ReadLimits& m_limits;
    const QElapsedTimer& m_clock;
    std::vector<JOCTET> m_buffer;
    std::vector<JOCTET> m_exif;

    jpeg_decompress_struct m_info{};
    jpeg_error_mgr m_errors{};
    jpeg_source_mgr m_source{};
    jpeg_progress_mgr m_progress{};
    std::jmp_buf m_jump{};
    Stop m_stop = Stop::None;
    int m_libraryError = 0;
    QImage m_image;
};

void Decoder::errorExit(j_common_ptr info) {
    Decoder& self = of(info);
    self.m_libraryError = info->err->msg_code;
    self.stop(Stop::Library);
}

void Decoder::stop(Stop why) {
    m_stop = why;
    std::longjmp(m_jump, 1);
}

// Called as the data comes in, once for every row of blocks of every scan, and between output
// rows.
void Decoder::watch() {
    if (m_info.input_scan_number > m_limits.maxScans)
        stop(Stop::Scans);
    if (m_clock.elapsed() >= m_limits.milliseconds)
        stop(Stop::Time);
}

boolean Decoder::fillInput(j_decompress_ptr info) {
    Decoder& self = of(info);
    self.watch();
    qint64 count = self.m_device.read(reinterpret_cast<char*>(self.m_buffer.data()),
                                      qint64(self.m_buffer.size()));
    if (count < 0)
        self.stop(Stop::ReadError);
    if (count == 0) {
        // A file cut short ends as if it ended there: what was read is shown.
        WARNMS(info, JWRN_JPEG_EOF);
        self.m_buffer[0] = 0xFF;
        self.m_buffer[1] = JPEG_EOI;
        count = 2;
    }
    self.m_source.next_input_byte = self.m_buffer.data();
    self.m_source.bytes_in_buffer = std::size_t(count);
    return TRUE;
}

void Decoder::skipInput(j_decompress_ptr info, long count) {
    Decoder& self = of(info);
    if (count <= 0)
        return;
    while (std::size_t(count) > self.m_source.bytes_in_buffer) {
        count -= long(self.m_source.bytes_in_buffer);
        fillInput(info);
    }
    self.m_source.next_input_byte += count;
    self.m_source.bytes_in_buffer -= std::size_t(count);
}

JOCTET Decoder::nextByte() {
    if (m_source.bytes_in_buffer == 0)
        fillInput(&m_info);
    --m_source.bytes_in_buffer;
    return *m_source.next_input_byte++;
}

// An APP1 block: Exif or XMP. Only the first Exif block is kept; a colour profile of megabytes
// before it costs reading, not memory.
boolean Decoder::readApp1(j_decompress_ptr info) {
    Decoder& self = of(info);
    const int high = self.nextByte();
    const int length = (high << 8 | self.nextByte()) - 2;
    if (length <= 0)
        return TRUE;
    if (!self.m_exif.empty()) {
        skipInput(info, length);
        return TRUE;
    }
    for (int i = 0; i < length; ++i)
        self.m_exif.push_back(self.nextByte());
    static constexpr JOCTET kExif[] = {'E', 'x', 'i', 'f', 0, 0};
    if (self.m_exif.size() < std::size(kExif) ||
        !std::equal(std::begin(kExif), std::end(kExif), self.m_exif.begin()))
        self.m_exif.clear();
    return TRUE;
}

bool Decoder::decode(int maxSide) {
    m_info.err = jpeg_std_error(&m_errors);
    m_errors.error_exit = errorExit;
    m_errors.output_message = outputMessage;
    m_info.client_data = this;
    if (setjmp(m_jump))
        return false;

    jpeg_create_decompress(&m_info);
    // Beyond this the whole-picture buffers of a progressive or multi-scan JPEG are refused
    // before they are allocated (JERR_NO_BACKING_STORE).
    m_info.mem->max_memory_to_use = long(m_limits.jpegWorkingBytes);
    m_source.init_source = initSource;
    m_source.fill_input_buffer = fillInput;
    m_source.skip_input_data = skipInput;
    m_source.resync_to_restart = jpeg_resync_to_restart;
    m_source.term_source = termSource;
    m_info.src = &m_source;
    m_progress.progress_monitor = progress;
    m_info.progress = &m_progress;
    jpeg_set_marker_processor(&m_info, JPEG_APP0 + 1, readApp1);

    jpeg_read_header(&m_info, TRUE);
    const int width = int(m_info.image_width);
    const int height = int(m_info.image_height);
    if (exceedsLimits({width, height}, m_limits.maxPixels, m_limits))
        stop(Stop::TooLarge);

    // The smallest scale that keeps both sides at least as long as the bounded picture.
    const int wantWidth = std::min(width, maxSide);
    const int wantHeight = std::min(height, maxSide);
    int eighths = 1;
    while (eighths < 8 &&
           ((width * eighths + 7) / 8 < wantWidth || (height * eighths + 7) / 8 < wantHeight))
        ++eighths;
    m_info.scale_num = unsigned(eighths);
    m_info.scale_denom = 8;
    const bool cmyk = m_info.jpeg_color_space == JCS_CMYK || m_info.jpeg_color_space == JCS_YCCK;
    m_info.out_color_space = cmyk ? JCS_CMYK : kRgb32;
    jpeg_calc_output_dimensions(&m_info);
    m_image = QImage(int(m_info.output_width), int(m_info.output_height), QImage::Format_RGB32);
    if (m_image.isNull())
        throw std::bad_alloc();

    jpeg_start_decompress(&m_info);
    while (m_info.output_scanline < m_info.output_height) {
        JSAMPROW row = m_image.scanLine(int(m_info.output_scanline));
        jpeg_read_scanlines(&m_info, &row, 1);
        watch();
    }
    return true;
}

[[noreturn]] void Decoder::fail() const {
    const QSize claimed(int(m_info.image_width), int(m_info.image_height));
    switch (m_stop) {
    case Stop::TooLarge:
        break;
    case Stop::Scans:
        throw RuntimeError(
            RuntimeError::InvalidPicture,
            QStringLiteral("troppe scansioni progressive (più di %1)").arg(m_limits.maxScans));
    case Stop::Time:
        refuseAsTooSlow(m_limits);
    case Stop::ReadError:
        throw RuntimeError(RuntimeError::FileAccess, QStringLiteral("errore di lettura del file"));
    case Stop::None:
    case Stop::Library:
        switch (m_libraryError) {
        case JERR_OUT_OF_MEMORY:
            throw std::bad_alloc();
        case JERR_NO_BACKING_STORE: // more working memory than a picture may take
        case JERR_IMAGE_TOO_BIG:
        case JERR_WIDTH_OVERFLOW:
            break;
        case JERR_BAD_PRECISION:   // 12 or 16 bits a sample
        case JERR_SOF_UNSUPPORTED: // lossless, hierarchical
        case JERR_ARITH_NOTIMPL:
        case JERR_NOT_COMPILED:
        case JERR_CONVERSION_NOTIMPL:
            throw RuntimeError(RuntimeError::InvalidPicture,
                               QStringLiteral("tipo di jpg non supportato"));
        default:
            throw RuntimeError(RuntimeError::InvalidPicture,
                               QStringLiteral("immagine jpg danneggiata"));
        }
        break;
    }
    refuseAsTooLarge(claimed);
}

// Adobe's CMYK, stored inverted, as red, green and blue.
void cmykToRgb32(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        uchar* p = image.scanLine(y);
        QRgb* out = reinterpret_cast<QRgb*>(p);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            const int k = p[3];
            out[x] = qRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
        }
    }
}

// The Exif orientation as Qt reads it: mirrored first, then turned a quarter clockwise.
QImage upright(QImage image, QImageIOHandler::Transformations how) {
    if (how == QImageIOHandler::TransformationNone)
        return image;
    image = image.mirrored(how.testFlag(QImageIOHandler::TransformationMirror),
                           how.testFlag(QImageIOHandler::TransformationFlip));
    if (how.testFlag(QImageIOHandler::TransformationRotate90))
        image = image.transformed(QTransform().rotate(90));
    if (image.isNull())
        throw std::bad_alloc();
    return image;
}

// The orientation Qt reads from the Exif block, given on its own: a header of that block and the
// smallest frame that ends it, so that nothing else the file's header holds is read again.
QImageIOHandler::Transformations orientation(const std::vector<JOCTET>& exif) {
    if (exif.empty())
        return QImageIOHandler::TransformationNone;
    QByteArray header("\xFF\xD8\xFF\xE1", 4);
    header.append(char((exif.size() + 2) >> 8)).append(char((exif.size() + 2) & 0xFF));
    header.append(reinterpret_cast<const char*>(exif.data()), qsizetype(exif.size()));
    // One grey pixel, its scan and the end.
    header.append("\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00"
                  "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\xFF\xD9",
                  25);
    QBuffer buffer(&header);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "jpeg").transformation();
}

QImage Decoder::read(int maxSide) {
    if (!decode(maxSide))
        fail();
    const bool cmyk = m_info.out_color_space == JCS_CMYK;
    jpeg_abort_decompress(&m_info);
    QImage image = std::move(m_image);
    if (cmyk)
        cmykToRgb32(image);
    return upright(std::move(image), orientation(m_exif));
}

} // namespace

QImage read(QIODevice& device, int maxSide, const ReadLimits& limits, const QElapsedTimer& clock) {
    Decoder decoder(device, limits, clock);
    return decoder.read(maxSide);
}

} // namespace jpeg

} // namespace trameda
