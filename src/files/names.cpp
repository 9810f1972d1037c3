#include "names.h"

namespace trameda {

namespace {

// Where stray bytes are kept: U+DC80..U+DCFF, half of a pair that valid UTF-16 never leaves alone.
constexpr char16_t kStrayBase = 0xDC00;

bool isStray(QChar c) {
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
}

bool continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0 when it is not one
// (a stray byte, a sequence cut short, an overlong form, a surrogate, beyond U+10FFFF).
qsizetype sequenceLength(QByteArrayView bytes) {
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    qsizetype length = 0;
    unsigned char low = 0x80; // the bounds of the second byte, which rule out overlong forms
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F; // U+D800..U+DFFF are not characters
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (bytes.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i)
        if (!continuation(at(i)))
            return 0;
    return length;
}

} // namespace

QString nameFromBytes(QByteArrayView bytes) {
    QString name;
    name.reserve(bytes.size());
    qsizetype start = 0; // the valid run not yet decoded
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = sequenceLength(bytes.sliced(i));
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(start, i - start));
        name += QChar(char16_t(kStrayBase + static_cast<unsigned char>(bytes[i])));
        start = ++i;
    }
    return name + QString::fromUtf8(bytes.sliced(start));
}

QByteArray nameBytes(QStringView name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isStray(name[i]))
            continue;
        bytes += name.sliced(start, i - start).toUtf8();
        bytes += char(name[i].unicode() - kStrayBase);
        start = i + 1;
    }
    return bytes + name.sliced(start).toUtf8();
}

QString shownName(QStringView name) {
    QString shown;
    shown.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'\n')
            shown += QStringLiteral("\\n");
        else if (u == u'\t')
            shown += QStringLiteral("\\t");
        else if (u == u'\r')
            shown += QStringLiteral("\\r");
        else if (u < 0x20 || u == 0x7F || isStray(c))
            shown += QStringLiteral("\\x") + QString::number(isStray(c) ? u - kStrayBase : u, 16)
                                                 .rightJustified(2, u'0')
                                                 .toUpper();
        else
            shown += c;
    }
    return shown;
}

} // namespace trameda
