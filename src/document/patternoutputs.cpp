#include "patternoutputs.h"

#include "stitchnotes.h"

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

} // namespace trameda::document
