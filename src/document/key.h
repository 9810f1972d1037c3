#pragma once

#include "runtime/colour.h"
#include "symbols.h"
#include "threads/skeins.h"
#include "threads/threadtable.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <span>
#include <vector>

namespace trameda::stitching {
class StitchGrid;
struct StitchedPattern;
} // namespace trameda::stitching

namespace trameda::document {

using stitching::StitchGrid;

struct KeySettings {
    int fabric = 14; // the cloth's count: stitches per inch of Aida, threads per inch of linen
    int over = 1;    // 1: Aida, a stitch a square; 2: linen or evenweave, a stitch over two threads
    int strands = 2; // of the skein's six, in the needle
    int margin =
        20; // per cent of thread added for mistakes and unpicking before skeins are counted

    double stitchesPerInch() const { return double(fabric) / over; }
};

// A size in centimetres, width by height.
struct Centimetres {
    double width = 0;
    double height = 0;
};

// The finished work of `columns` x `rows` stitches at the settings' count.
Centimetres finishedSize(int columns, int rows, const KeySettings& settings);

// Cloth left round the work on every side, to hold it in a hoop and to finish it.
constexpr double kCutAllowance = 5.0;
// The fabric to cut for a finished work of `finished`.
Centimetres fabricToCut(const Centimetres& finished);

// The thread reckoning for a key: each step rounded as the key page prints it.
threads::Reckoning reckoning(const KeySettings& settings);

// One palette entry in use.
struct KeyLine {
    int entry = 0;     // the palette entry, which the window names with the letter A + entry
    Colour colour = 0; // as on the chart
    // The thread for the entry, and its difference from the colour the palette gave.
    threads::ThreadMatch thread;
    long long stitches = 0;
    threads::ThreadNeed need;
    int sameThreadAs = -1; // an earlier entry given the same thread, or -1
    // The nearest thread of a second maker, by colour, when one is asked.
    std::optional<threads::ThreadMatch> also;

    bool approximate() const { return thread.difference > threads::kApproximateAbove; }
};

struct Key {
    std::vector<KeyLine> lines;
    long long stitches = 0;
    double metres = 0;
    // Entries on the same thread share their skeins, so this can be less than the lines' sum.
    int skeins = 0;
    int coloursUsed = 0; // entries with stitches
    int threadsUsed = 0; // different threads with stitches
};

// The lines with stitches in the order a shop stocks them: named threads (Blanc, Ecru, then codes
// such as B5200) first, then by number; lines without a thread last.
std::vector<const KeyLine*> shopOrder(const Key& key, const threads::ThreadTable& table);

// The symbol of each entry of the key (indexed by entry; empty for an entry without stitches),
// given in shop order, so that the chart pages, the key page and the OXS file all mark a thread
// alike.
std::vector<QString> entrySymbols(const Key& key, const threads::ThreadTable& table,
                                  SymbolSet set);

// "1 capo", "2 capi": a count with its noun in Italian.
QString counted(long long n, const QString& singular, const QString& plural);

// The nearest thread to each colour.
std::vector<threads::ThreadMatch> matchThreads(std::span<const Colour> colours,
                                               const threads::ThreadTable& table);
// Gives each colour the colour of its thread.
void snapToThreads(std::span<Colour> colours, std::span<const threads::ThreadMatch> matches,
                   const threads::ThreadTable& table);

// The key of the entries 0 .. colours.size() - 1: `colours` as charted, `matches` their threads
// (none when empty), the stitches counted on `grid`.
Key makeKey(std::span<const Colour> colours, std::span<const threads::ThreadMatch> matches,
            const StitchGrid& grid, const KeySettings& settings);

// The key of a pattern made by the stitching engine: a line per entry, each with its thread (and
// the second maker's nearest, when the pattern names one).
Key makeKey(const stitching::StitchedPattern& pattern, const KeySettings& settings);

// "#RRGGBB".
QString hexColour(Colour colour);

// The key on standard output, a line per entry: letter, colour and stitches, and the thread's
// number and name when `table` is given: "H #C0C0C0 1041 DMC 415 Pearl Gray".
QString keyText(const Key& key, const threads::ThreadTable* table,
                const QString& brand = QStringLiteral("DMC"));

// The key as a shopping list: a header row, then per line with stitches, in shop order, letter,
// colour, thread, name, difference, stitches and skeins, comma-separated with a full stop for
// decimals. `brand` heads the thread's column; `also`, when given, adds the second maker's
// nearest thread by colour and its name, headed by `alsoBrand`.
QByteArray keyCsv(const Key& key, const threads::ThreadTable& table,
                  const QString& brand = QStringLiteral("DMC"),
                  const threads::ThreadTable* also = nullptr, const QString& alsoBrand = {});

} // namespace trameda::document
