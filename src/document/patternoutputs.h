#pragma once

// What the pattern outputs (the PDF, the shopping list, the OXS file) are made from: one result
// of the stitching engine, with its key. Plain data, for the command line and the window alike.

#include "key.h"
#include "oxs.h"
#include "patternoptions.h"
#include "patternpdf.h"
#include "stitching/pattern.h"

#include <QByteArray>
#include <QStringList>
#include <optional>
#include <vector>

namespace trameda::document {

struct PatternOutputs {
    stitching::StitchedPattern stitched;
    std::vector<Colour> colours; // of the entries, as charted
    Key key;
    QStringList notes; // how the pattern was made
    const threads::ThreadTable* table = nullptr;
    std::optional<stitching::Brand> also;
};

// `clean` is the clean-up level the pattern was made with, for the notes; `also` the second
// maker whose nearest threads the key names.
PatternOutputs patternOutputs(stitching::StitchedPattern stitched, const KeySettings& settings,
                              int clean, std::optional<stitching::Brand> also);

// The document to print; it refers to `outputs`, which must outlive it.
// `options` gives the paper, the cell size, the symbols and black and white.
Pattern printedPattern(const PatternOutputs& outputs, const QString& title,
                       const KeySettings& settings, const PatternOptions& options, bool snapped);

QByteArray shoppingList(const PatternOutputs& outputs);

} // namespace trameda::document
