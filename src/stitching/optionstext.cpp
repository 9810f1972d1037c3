#include "optionstext.h"

#include <QStringList>
#include <algorithm>

namespace trameda::stitching {

std::optional<QString> parseNumber(const QString& text, Range range, int& into) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < range.min || value > range.max)
        return QStringLiteral("vuole un numero intero da %1 a %2, non \"%3\"")
            .arg(range.min)
            .arg(range.max)
            .arg(text);
    into = value;
    return std::nullopt;
}

std::optional<QString> parseStitches(const QString& text, StitchOptions& into) {
    const QStringList parts = text.split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
    int across = 0;
    int down = 0;
    const Range stitches{1, kMaxStitches};
    if (parts.size() > 2 || parseNumber(parts[0], stitches, across) ||
        (parts.size() == 2 && parseNumber(parts[1], stitches, down)))
        return QStringLiteral("vuole i punti in larghezza, da 1 a %1, o LARGHEZZAxALTEZZA, "
                              "non \"%2\"")
            .arg(kMaxStitches)
            .arg(text);
    into.across = across;
    into.down = down;
    return std::nullopt;
}

std::optional<QString> parseBrand(const QString& text, Brand& into) {
    for (const Brand brand : {Brand::Dmc, Brand::Anchor, Brand::Madeira})
        if (text.compare(threads::brandName(brand), Qt::CaseInsensitive) == 0) {
            into = brand;
            return std::nullopt;
        }
    return QStringLiteral("vuole dmc, anchor o madeira, non \"%1\"").arg(text);
}

std::optional<QString> parseThreadColours(const QString& text, StitchOptions& into) {
    return parseNumber(text, {kMinThreadColours, kMaxThreadColours}, into.threadColours);
}

std::optional<QString> parseClean(const QString& text, StitchOptions& into) {
    return parseNumber(text, {0, kMaxClean}, into.clean);
}

std::optional<QString> parseBackground(const QString& text, StitchOptions& into) {
    if (text.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) {
        into.background = Background::None;
        return std::nullopt;
    }
    if (text.compare(QStringLiteral("auto"), Qt::CaseInsensitive) == 0) {
        into.background = Background::Auto;
        return std::nullopt;
    }
    const QString hex = text.startsWith(u'#') ? text.mid(1) : text;
    bool ok = hex.size() == 6 && std::all_of(hex.begin(), hex.end(), [](QChar c) {
                  return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f');
              });
    const uint rgb = ok ? hex.toUInt(&ok, 16) : 0;
    if (!ok)
        return QStringLiteral("vuole none, auto o un colore RRGGBB, non \"%1\"").arg(text);
    into.background = Background::Colour;
    into.backgroundColour = 0xFF000000u | rgb;
    return std::nullopt;
}

} // namespace trameda::stitching
