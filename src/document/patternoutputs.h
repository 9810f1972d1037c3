#pragma once

// What the pattern outputs (the PDF, the shopping list, the OXS file) are made from: one result
// of the stitching engine, with its key. Plain data, for the command line and the window alike.

#include "key.h"
#include "oxs.h"
#include "patternoptions.h"
#include "patternpdf.h"
#include "files/safewrite.h"
#include "stitching/pattern.h"

#include <QByteArray>
#include <QStringList>
#include <functional>
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

// The thread reckoning's settings among `options`.
KeySettings keySettings(const PatternOptions& options);

// The title a pattern takes when none is given: the file name of `picture`, as a message shows it.
QString titleOf(const QString& picture);

// Whether the chart's colours are those of the threads: snapped to them or chosen among them.
bool coloursAreThreads(const stitching::StitchOptions& stitch);

// What the pattern's document will say of it, for whoever shows it before it is written.
struct PatternFigures {
    int columns = 0;
    int rows = 0;
    Centimetres finished; // at the count of the settings
    Centimetres cut;      // the fabric to cut
    int colours = 0;
    int threads = 0;
    long long stitches = 0;
    long long isolatedBefore = 0;
    long long isolatedAfter = 0;
    int skeins = 0;
    int pages = 0; // of the PDF: cover, chart and key
};
PatternFigures patternFigures(const PatternOutputs& outputs, const KeySettings& settings,
                              const PatternOptions& options);

// The three outputs, each written all or nothing to `path`. A failure is one line in Italian that
// names the file and the cause: "impossibile scrivere schema.pdf: disco pieno".
Failure savePatternPdf(const QString& path, const PatternOutputs& outputs, const QString& title,
                       const KeySettings& settings, const PatternOptions& options, bool snapped);
Failure saveShoppingList(const QString& path, const PatternOutputs& outputs);
Failure saveOxs(const QString& path, const PatternOutputs& outputs, const QString& title,
                const KeySettings& settings, SymbolSet symbols);

// "impossibile scrivere PATH: WHY", the file shown as a one-line message shows it.
QString cannotWrite(const QString& path, const QString& why);
// Writes `path` all or nothing through `write`; why not, as cannotWrite() says it.
Failure saveFile(const QString& path, const std::function<bool(QIODevice&)>& write);

} // namespace trameda::document
