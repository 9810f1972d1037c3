#include "patternoptions.h"

namespace trameda::document {

std::optional<QString> parsePaper(const QString& text, Paper& into) {
    if (text.compare(QStringLiteral("A4"), Qt::CaseInsensitive) == 0)
        into = Paper::A4;
    else if (text.compare(QStringLiteral("letter"), Qt::CaseInsensitive) == 0)
        into = Paper::Letter;
    else
        return QStringLiteral("vuole A4 o letter, non \"%1\"").arg(text);
    return std::nullopt;
}

std::optional<QString> parseCell(const QString& text, double& into) {
    // Millimetres as a stitcher writes them, with a comma or a full stop.
    QString number = text;
    number.replace(u',', u'.');
    bool ok = false;
    const double mm = number.toDouble(&ok);
    if (!ok || !(mm >= kSmallestCell && mm <= kLargestCell))
        return QStringLiteral("vuole i millimetri da 2,5 a 8, non \"%1\"").arg(text);
    into = mm;
    return std::nullopt;
}

std::optional<QString> parseSymbols(const QString& text, SymbolSet& into) {
    if (text.compare(QStringLiteral("letters"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("conosce solo letters, non \"%1\"").arg(text);
    into = SymbolSet::Letters;
    return std::nullopt;
}

std::optional<QString> parseThreads(const QString& text, stitching::StitchOptions& into) {
    if (auto why = stitching::parseBrand(text, into.brand))
        return why;
    into.snap = true;
    return std::nullopt;
}

} // namespace trameda::document
