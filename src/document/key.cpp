#include "key.h"

#include "pattern/rules.h"
#include "stitchgrid.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace trameda::document {

std::vector<threads::ThreadMatch> matchThreads(std::span<const Colour> colours,
                                               const threads::ThreadTable& table) {
    std::vector<QRgb> rgb;
    rgb.reserve(colours.size());
    for (const Colour c : colours)
        rgb.push_back(toQRgb(c));
    return table.nearest(rgb);
}

void snapToThreads(std::span<Colour> colours, std::span<const threads::ThreadMatch> matches,
                   const threads::ThreadTable& table) {
    for (std::size_t i = 0; i < colours.size() && i < matches.size(); ++i)
        colours[i] = fromQRgb(table.at(matches[i].index).colour);
}

// The sums are done in whole thousandths, hundredths and tenths, rounded half up as by hand, so
// that no binary fraction tips a printed digit.
Reckoning reckoning(const KeySettings& settings) {
    Reckoning r;
    // 25.4 mm / (fabric / over) in thousandths of a millimetre.
    const long long side =
        (25400LL * settings.over * 2 + settings.fabric) / (2LL * settings.fabric);
    const long long cross = (4828 * side + 5000) / 10000; // hundredths
    const long long perStitch = (cross * 3 + 1) / 2;      // hundredths
    r.side = side / 1000.0;
    r.cross = cross / 100.0;
    r.perStitch = perStitch / 100.0;
    r.perSkein = threads::metresPerSkein(settings.strands);
    r.strands = settings.strands;
    r.margin = settings.margin;
    return r;
}

double metresFor(long long stitches, const Reckoning& reckoning) {
    const auto perStitch = std::llround(reckoning.perStitch * 100); // hundredths of a mm
    return double((stitches * perStitch + 5000) / 10000) / 10;
}

int skeinsFor(double metres, const Reckoning& reckoning) {
    // metres x (1 + margin) / (8 m x 6 / strands), rounded up, in whole tenths of a metre.
    const long long tenths = std::llround(metres * 10);
    const long long perSkein =
        10LL * threads::kSkeinStrands * std::llround(threads::kSkeinMetres) * 100;
    const long long need = tenths * (100 + reckoning.margin) * reckoning.strands;
    return int((need + perSkein - 1) / perSkein);
}

Key makeKey(std::span<const Colour> colours, std::span<const threads::ThreadMatch> matches,
            const StitchGrid& grid, const KeySettings& settings) {
    const Reckoning rule = reckoning(settings);
    Key key;
    std::map<int, double> metresByThread;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        KeyLine line;
        line.entry = int(i);
        line.colour = colours[i];
        if (i < matches.size())
            line.thread = matches[i];
        line.stitches = grid.count(line.entry);
        line.need.metres = metresFor(line.stitches, rule);
        // A thread with any stitch at all is bought, however little of it they take.
        line.need.skeins = line.stitches > 0 ? std::max(1, skeinsFor(line.need.metres, rule)) : 0;
        for (const KeyLine& earlier : key.lines)
            if (line.thread.index >= 0 && earlier.thread.index == line.thread.index) {
                line.sameThreadAs = earlier.entry;
                break;
            }
        if (line.stitches > 0) {
            ++key.coloursUsed;
            if (line.thread.index >= 0)
                metresByThread[line.thread.index] += line.need.metres;
            else
                key.skeins += line.need.skeins;
        }
        key.stitches += line.stitches;
        key.metres += line.need.metres;
        key.lines.push_back(line);
    }
    for (const auto& [thread, metres] : metresByThread)
        key.skeins += std::max(1, skeinsFor(metres, rule));
    key.threadsUsed = int(metresByThread.size());
    return key;
}

std::vector<const KeyLine*> shopOrder(const Key& key, const threads::ThreadTable& table) {
    // Named threads first, words before codes, then numbers by value.
    const auto rank = [&](const KeyLine* line) {
        if (line->thread.index < 0)
            return std::tuple(3, 0LL, QString(), line->entry);
        const QString& number = table.at(line->thread.index).number;
        bool numeric = false;
        const long long value = number.toLongLong(&numeric);
        if (numeric)
            return std::tuple(2, value, QString(), line->entry);
        const bool word =
            std::none_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); });
        return std::tuple(word ? 0 : 1, 0LL, number, line->entry);
    };
    std::vector<const KeyLine*> lines;
    for (const KeyLine& line : key.lines)
        if (line.stitches > 0)
            lines.push_back(&line);
    std::stable_sort(lines.begin(), lines.end(),
                     [&](const KeyLine* a, const KeyLine* b) { return rank(a) < rank(b); });
    return lines;
}

QString counted(long long n, const QString& singular, const QString& plural) {
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? singular : plural);
}

QString hexColour(Colour colour) {
    return QColor(toQRgb(colour)).name(QColor::HexRgb).toUpper();
}

QString keyText(const Key& key, const threads::ThreadTable* table) {
    QString text;
    for (const KeyLine& line : key.lines) {
        text += pattern::letterFor(line.entry) + u' ' + hexColour(line.colour) + u' ' +
                QString::number(line.stitches);
        if (table) {
            const threads::Thread& thread = table->at(line.thread.index);
            text += QStringLiteral(" DMC ") + thread.number + u' ' + thread.name;
        }
        text += u'\n';
    }
    return text;
}

namespace {

// A field as RFC 4180 wants it: quoted when it holds a separator, a quote or a line break.
QByteArray csvField(const QString& text) {
    QByteArray field = text.toUtf8();
    if (field.contains(',') || field.contains('"') || field.contains('\n') ||
        field.contains('\r')) {
        field.replace("\"", "\"\"");
        field = '"' + field + '"';
    }
    return field;
}

} // namespace

QByteArray keyCsv(const Key& key, const threads::ThreadTable& table) {
    QByteArray csv = "lettera,colore,DMC,nome,differenza,punti,matasse\r\n";
    for (const KeyLine* line : shopOrder(key, table)) {
        const threads::Thread& thread = table.at(line->thread.index);
        const QStringList fields{pattern::letterFor(line->entry),
                                 hexColour(line->colour),
                                 thread.number,
                                 thread.name,
                                 QString::number(line->thread.difference, 'f', 1),
                                 QString::number(line->stitches),
                                 QString::number(line->need.skeins)};
        for (qsizetype f = 0; f < fields.size(); ++f)
            csv += (f ? "," : "") + csvField(fields[f]);
        csv += "\r\n";
    }
    return csv;
}

} // namespace trameda::document
