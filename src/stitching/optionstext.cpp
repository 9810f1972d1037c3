#include "optionstext.h"

#include <QStringList>
#include <algorithm>

namespace trameda::stitching {

namespace {

std::optional<int> whole(const QString& text, int min, int max) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

QString range(int min, int max, const QString& text) {
    return QStringLiteral("vuole un numero intero da %1 a %2, non \"%3\"").arg(min).arg(max).arg(text);
}

} // namespace

std::optional<QString> parseStitches(const QString& text, StitchOptions& into) {
    const QStringList parts = text.split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
    const auto across = parts.size() <= 2 ? whole(parts[0], 1, kMaxStitches) : std::nullopt;
    const auto down = parts.size() == 2 ? whole(parts[1], 1, kMaxStitches) : std::nullopt;
    if (!across || (parts.size() == 2 && !down))
        return QStringLiteral("vuole i punti in larghezza, da 1 a %1, o LARGHEZZAxALTEZZA, "
                              "non \"%2\"")
            .arg(kMaxStitches)
            .arg(text);
    into.across = *across;
    into.down = down.value_or(0);
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
    const auto value = whole(text, kMinThreadColours, kMaxThreadColours);
    if (!value)
        return range(kMinThreadColours, kMaxThreadColours, text);
    into.threadColours = *value;
    return std::nullopt;
}

std::optional<QString> parseClean(const QString& text, StitchOptions& into) {
    const auto value = whole(text, 0, kMaxClean);
    if (!value)
        return range(0, kMaxClean, text);
    into.clean = *value;
    return std::nullopt;
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
