#include "pictures.h"

#include "gif.h"
#include "jpegencoder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>
#include <zlib.h>

QByteArray encoded(const QImage& image, const char* format, bool progressive) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        qFatal("cannot encode %s", format);
    return bytes;
}

QImage stripes(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, (x / 8) % 2 ? qRgb(250, 250, 250) : qRgb(200, 0, 0));
    return image;
}

namespace {

template <typename T> void put(QByteArray& bytes, qsizetype at, T value) {
    qToLittleEndian(value, bytes.data() + at);
}

} // namespace

QByteArray jpegClaiming(QSize size, bool progressive) {
    QByteArray bytes = encoded(stripes({64, 64}), "JPG", progressive);
    const qsizetype sof = bytes.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
    if (sof < 0)
        qFatal("no frame header");
    qToBigEndian(quint16(size.height()), bytes.data() + sof + 5);
    qToBigEndian(quint16(size.width()), bytes.data() + sof + 7);
    return bytes;
}

QByteArray bmpClaiming(QSize size) {
    QByteArray bytes = encoded(stripes({8, 8}), "BMP");
    put(bytes, 18, qint32(size.width()));
    put(bytes, 22, qint32(size.height()));
    return bytes;
}

QByteArray gifClaiming(QSize size) {
    QByteArray bytes = encodeGif({8, 8}, {qRgb(0, 0, 0)}, {uniformFrame({8, 8}, 0)});
    put(bytes, 6, quint16(size.width()));
    put(bytes, 8, quint16(size.height()));
    const qsizetype descriptor = bytes.indexOf(char(0x2C), 13 + 768);
    put(bytes, descriptor + 5, quint16(size.width()));
    put(bytes, descriptor + 7, quint16(size.height()));
    return bytes;
}

QByteArray greyPng(QSize size, const QByteArray& data) {
    const auto chunk = [](const char* type, const QByteArray& body) {
        QByteArray bytes(4, '\0');
        qToBigEndian(quint32(body.size()), bytes.data());
        bytes.append(type, 4).append(body);
        QByteArray crc(4, '\0');
        qToBigEndian(quint32(crc32(crc32(0, nullptr, 0),
                                   reinterpret_cast<const Bytef*>(bytes.constData() + 4),
                                   uInt(bytes.size() - 4))),
                     crc.data());
        return bytes + crc;
    };
    QByteArray header(13, '\0');
    qToBigEndian(quint32(size.width()), header.data());
    qToBigEndian(quint32(size.height()), header.data() + 4);
    header[8] = 8; // bits a sample; colour type 0: grey
    uLongf length = compressBound(uLong(data.size()));
    QByteArray stream(qsizetype(length), '\0');
    if (compress(reinterpret_cast<Bytef*>(stream.data()), &length,
                 reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size())) != Z_OK)
        qFatal("cannot compress");
    stream.truncate(qsizetype(length));
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) + chunk("IDAT", stream) +
           chunk("IEND", {});
}

QByteArray topDown(const QByteArray& bmp) {
    const auto at = [&](qsizetype offset) {
        return qFromLittleEndian<qint32>(bmp.data() + offset);
    };
    const int height = at(22);
    const qsizetype row =
        (qsizetype(at(18)) * qFromLittleEndian<quint16>(bmp.data() + 28) + 31) / 32 * 4;
    QByteArray flipped = bmp.left(at(10));
    for (int y = height - 1; y >= 0; --y)
        flipped += bmp.mid(at(10) + y * row, row);
    put(flipped, 22, qint32(-height));
    return flipped;
}

QByteArray withFrame(const QByteArray& jpeg, int marker, int precision) {
    QByteArray bytes = jpeg;
    const qsizetype sof = bytes.indexOf("\xFF\xC0");
    bytes[sof + 1] = char(marker);
    bytes[sof + 4] = char(precision);
    return bytes;
}

QByteArray withRepeatedScan(const QByteArray& jpeg, int times) {
    // The tables in force for the last scan stay in force for its copies.
    const qsizetype scan = jpeg.lastIndexOf("\xFF\xDA");
    const qsizetype end = jpeg.lastIndexOf("\xFF\xD9");
    return jpeg.left(end) + jpeg.mid(scan, end - scan).repeated(times) + jpeg.mid(end);
}

QByteArray withOrientation(const QByteArray& jpeg, int orientation) {
    // APP1 "Exif", a little-endian TIFF header and one directory entry: Orientation, a short.
    QByteArray exif("\xFF\xE1\x00\x22"
                    "Exif\0\0"
                    "II*\0\x08\0\0\0"
                    "\x01\0"
                    "\x12\x01\x03\0\x01\0\0\0\0\0\0\0"
                    "\0\0\0\0",
                    36);
    put(exif, 28, quint16(orientation));
    return jpeg.left(2) + exif + jpeg.mid(2);
}

QByteArray withColourProfile(const QByteArray& jpeg, int bytes) {
    constexpr int kBlock = 65000;
    const int blocks = (bytes + kBlock - 1) / kBlock;
    QByteArray profile;
    for (int i = 0; i < blocks; ++i) {
        const int length = 2 + 14 + std::min(kBlock, bytes - i * kBlock);
        profile.append("\xFF\xE2", 2).append(char(length >> 8)).append(char(length & 0xFF));
        profile.append("ICC_PROFILE\0", 12).append(char(i + 1)).append(char(blocks));
        profile.append(length - 16, '\x11');
    }
    return jpeg.left(2) + profile + jpeg.mid(2);
}

QByteArray cmykJpeg(QSize size, QRgb colour) {
    // Adobe stores the inks inverted: full black ink is 255 here.
    const std::vector<unsigned char> bytes =
        encodeJpeg(size.width(), size.height(), 4, JCS_CMYK, [&](int, JSAMPLE* row) {
            for (int x = 0; x < size.width(); ++x, row += 4) {
                row[0] = JSAMPLE(qRed(colour));
                row[1] = JSAMPLE(qGreen(colour));
                row[2] = JSAMPLE(qBlue(colour));
                row[3] = 255;
            }
        });
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}
