#include "key.h"

#include "pattern/rules.h"
#include "stitching/pattern.h"
#include "stitching/stitchgrid.h"

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

Centimetres finishedSize(int columns, int rows, const KeySettings& settings) {
    const double perInch = settings.stitchesPerInch();
    return {columns * 2.54 / perInch, rows * 2.54 / perInch};
}

Centimetres fabricToCut(const Centimetres& finished) {
    return {finished.width + 2 * kCutAllowance, finished.height + 2 * kCutAllowance};
}

threads::Reckoning reckoning(const KeySettings& settings) {
    return threads::reckoning(settings.fabric, settings.over, settings.strands, settings.margin);
}

Key makeKey(std::span<const Colour> colours, std::span<const threads::ThreadMatch> matches,
            const StitchGrid& grid, const KeySettings& settings) {
    const threads::Reckoning rule = reckoning(settings);
    Key key;
    std::map<int, double> metresByThread;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        KeyLine line;
        line.entry = int(i);
        line.colour = colours[i];
        if (i < matches.size())
            line.thread = matches[i];
        line.stitches = grid.count(line.entry);
        line.need = threads::threadNeed(line.stitches, rule);
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
        // A thread with any stitch at all is bought, however little of it they take.
        key.skeins += std::max(1, threads::skeinsFor(metres, rule));
    key.threadsUsed = int(metresByThread.size());
    return key;
}

Key makeKey(const stitching::StitchedPattern& pattern, const KeySettings& settings) {
    std::vector<Colour> colours;
    std::vector<threads::ThreadMatch> matches;
    for (const stitching::PatternEntry& entry : pattern.entries) {
        colours.push_back(fromQRgb(entry.colour));
        matches.push_back(entry.thread);
    }
    Key key = makeKey(colours, matches, pattern.grid, settings);
    for (std::size_t i = 0; i < key.lines.size(); ++i)
        key.lines[i].also = pattern.entries[i].also;
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

std::vector<QString> entrySymbols(const Key& key, const threads::ThreadTable& table,
                                  SymbolSet set) {
    std::vector<QString> symbols;
    const std::vector<const KeyLine*> order = shopOrder(key, table);
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        const auto entry = std::size_t(order[rank]->entry);
        if (symbols.size() <= entry)
            symbols.resize(entry + 1);
        symbols[entry] = symbolFor(set, int(rank), int(entry), int(order.size()));
    }
    return symbols;
}

QString counted(long long n, const QString& singular, const QString& plural) {
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? singular : plural);
}

QString hexColour(Colour colour) {
    return QColor(toQRgb(colour)).name(QColor::HexRgb).toUpper();
}

QString keyText(const Key& key, const threads::ThreadTable* table, const QString& brand) {
    QString text;
    for (const KeyLine& line : key.lines) {
        text += pattern::letterFor(line.entry) + u' ' + hexColour(line.colour) + u' ' +
                QString::number(line.stitches);
        if (table) {
            const threads::Thread& thread = table->at(line.thread.index);
            text += u' ' + brand + u' ' + thread.number + u' ' + thread.name;
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

QByteArray keyCsv(const Key& key, const threads::ThreadTable& table, const QString& brand,
                  const threads::ThreadTable* also, const QString& alsoBrand) {
    QByteArray csv = "lettera,colore," + csvField(brand) + ",nome,differenza,punti,matasse";
    if (also)
        csv += "," + csvField(alsoBrand + QStringLiteral(" più vicino per colore")) + "," +
               csvField(QStringLiteral("nome ") + alsoBrand);
    csv += "\r\n";
    for (const KeyLine* line : shopOrder(key, table)) {
        const threads::Thread& thread = table.at(line->thread.index);
        QStringList fields{pattern::letterFor(line->entry),
                           hexColour(line->colour),
                           thread.number,
                           thread.name,
                           QString::number(line->thread.difference, 'f', 1),
                           QString::number(line->stitches),
                           QString::number(line->need.skeins)};
        if (also && line->also)
            fields << also->at(line->also->index).number << also->at(line->also->index).name;
        else if (also)
            fields << QString() << QString();
        for (qsizetype f = 0; f < fields.size(); ++f)
            csv += (f ? "," : "") + csvField(fields[f]);
        csv += "\r\n";
    }
    return csv;
}

} // namespace trameda::document
