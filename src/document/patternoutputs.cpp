#include "patternoutputs.h"

#include "files/names.h"
#include "layout.h"
#include "stitchnotes.h"

#include <QFileInfo>

namespace trameda::document {

PatternOutputs patternOutputs(stitching::StitchedPattern stitched, const KeySettings& settings,
                              int clean, std::optional<stitching::Brand> also) {
    PatternOutputs outputs;
    if (also)
        stitching::matchSecondBrand(stitched, *also);
    outputs.also = also;
    outputs.stitched = std::move(stitched);
    outputs.table = &threads::ThreadTable::forBrand(outputs.stitched.brand);
    for (const stitching::PatternEntry& entry : outputs.stitched.entries)
        outputs.colours.push_back(fromQRgb(entry.colour));
    outputs.key = makeKey(outputs.stitched, settings);
    outputs.notes = stitchingNotes(outputs.stitched, clean);
    return outputs;
}

Pattern printedPattern(const PatternOutputs& outputs, const QString& title,
                       const KeySettings& settings, const PatternOptions& options, bool snapped) {
    return Pattern{title,
                   outputs.stitched.grid,
                   outputs.colours,
                   outputs.key,
                   *outputs.table,
                   settings,
                   options.paper,
                   options.cell,
                   options.symbols,
                   options.blackAndWhite,
                   snapped,
                   threads::brandName(outputs.stitched.brand),
                   outputs.also ? threads::brandName(*outputs.also) : QString(),
                   outputs.also ? &threads::ThreadTable::forBrand(*outputs.also) : nullptr,
                   outputs.notes};
}

QByteArray shoppingList(const PatternOutputs& outputs) {
    return keyCsv(outputs.key, *outputs.table, threads::brandName(outputs.stitched.brand),
                  outputs.also ? &threads::ThreadTable::forBrand(*outputs.also) : nullptr,
                  outputs.also ? threads::brandName(*outputs.also) : QString());
}

KeySettings keySettings(const PatternOptions& options) {
    return {options.fabric, options.over, options.strands, options.margin};
}

QString titleOf(const QString& picture) {
    return shownName(QFileInfo(picture).fileName());
}

bool coloursAreThreads(const stitching::StitchOptions& stitch) {
    return stitch.snap || stitch.threadColours > 0;
}

PatternFigures patternFigures(const PatternOutputs& outputs, const KeySettings& settings,
                              const PatternOptions& options) {
    PatternFigures f;
    const stitching::StitchedPattern& stitched = outputs.stitched;
    f.columns = stitched.grid.columns();
    f.rows = stitched.grid.rows();
    f.finished = finishedSize(f.columns, f.rows, settings);
    f.cut = fabricToCut(f.finished);
    f.colours = outputs.key.coloursUsed;
    f.threads = outputs.key.threadsUsed;
    f.stitches = outputs.key.stitches;
    f.isolatedBefore = stitched.isolatedBefore;
    f.isolatedAfter = stitched.isolatedAfter;
    f.skeins = outputs.key.skeins;
    const int keyLines = int(shopOrder(outputs.key, *outputs.table).size());
    f.pages = planDocument(f.columns, f.rows, options.paper, options.cell, keyLines).pageCount;
    return f;
}

QString cannotWrite(const QString& path, const QString& why) {
    return QStringLiteral("impossibile scrivere %1: %2").arg(shownName(path), why);
}

Failure saveFile(const QString& path, const std::function<bool(QIODevice&)>& write) {
    if (const Failure why = writeFileSafely(path, write))
        return cannotWrite(path, *why);
    return std::nullopt;
}

Failure savePatternPdf(const QString& path, const PatternOutputs& outputs, const QString& title,
                       const KeySettings& settings, const PatternOptions& options, bool snapped) {
    const Pattern pattern = printedPattern(outputs, title, settings, options, snapped);
    return saveFile(path, [&](QIODevice& file) { return writePatternPdf(file, pattern); });
}

Failure saveShoppingList(const QString& path, const PatternOutputs& outputs) {
    const QByteArray csv = shoppingList(outputs);
    return saveFile(path, [&](QIODevice& file) { return file.write(csv) == csv.size(); });
}

Failure saveOxs(const QString& path, const PatternOutputs& outputs, const QString& title,
                const KeySettings& settings, SymbolSet symbols) {
    const OxsChart chart{outputs.stitched, title, settings.fabric, settings.strands,
                         entrySymbols(outputs.key, *outputs.table, symbols)};
    return saveFile(path, [&](QIODevice& file) { return writeOxs(file, chart); });
}

} // namespace trameda::document
