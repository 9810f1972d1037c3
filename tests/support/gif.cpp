#include "gif.h"

namespace {

void put16(QByteArray& out, int value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

class BitWriter {
public:
    void write(int code, int width) {
        m_buffer |= quint32(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.append(char(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish() {
        if (m_bits > 0)
            m_bytes.append(char(m_buffer & 0xFF));
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_buffer = 0;
    int m_bits = 0;
};

} // namespace

GifFrame uniformFrame(QSize size, quint8 index) {
    GifFrame frame;
    frame.indices.fill(index, size.width() * size.height());
    return frame;
}

QByteArray encodeGif(QSize size, const QVector<QRgb>& palette, const QList<GifFrame>& frames,
                     int transparentIndex) {
    QByteArray out("GIF89a");
    put16(out, size.width());
    put16(out, size.height());
    out.append(char(0xF7)); // global table of 256 entries
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    if (frames.size() > 1) {
        out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        put16(out, 0);
        out.append(char(0));
    }
    for (const GifFrame& frame : frames) {
        out.append("\x21\xF9\x04", 3);
        out.append(char(transparentIndex >= 0 ? 0x09 : 0x08)); // restore to background
        put16(out, frame.delayCentiseconds);
        out.append(char(transparentIndex >= 0 ? transparentIndex : 0));
        out.append(char(0));

        out.append(char(0x2C));
        put16(out, 0);
        put16(out, 0);
        put16(out, size.width());
        put16(out, size.height());
        out.append(char(0));

        constexpr int kClear = 256, kEnd = 257, kWidth = 9;
        out.append(char(8));
        BitWriter bits;
        int sinceClear = 0;
        bits.write(kClear, kWidth);
        for (quint8 index : frame.indices) {
            if (sinceClear == 254) {
                bits.write(kClear, kWidth);
                sinceClear = 0;
            }
            bits.write(index, kWidth);
            ++sinceClear;
        }
        bits.write(kEnd, kWidth);
        const QByteArray data = bits.finish();
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    return out;
}
