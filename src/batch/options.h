#pragma once

// The command line's options: one table, a row per option. The parser, `--help` and the usage
// errors all come from it, so a new option is one row, one field of ChartRequest and its use.

#include "document/patternoptions.h"
#include "picture/sizes.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <span>

namespace trameda::batch {

// The largest chart surface, each way, in pixels.
constexpr int kMaxSurfaceSide = 4000;

// A chart made without the window: `trameda --chart PICTURE [--png FILE] [--pdf FILE] ...`.
struct ChartRequest {
    QString picture;
    // The outputs; empty when not asked for.
    QString png;
    QString pdf;
    bool key = false;
    QString pattern;
    QString keyCsv;
    // The chart.
    int across = picture::kStart.across;
    int down = picture::kStart.down;
    QSize size; // the chart surface in pixels; empty: 400 wide, square cells
    int colours = 8;
    bool coloursGiven = false;
    QString palette;
    bool autoPalette = false;
    bool many = false;
    bool pastel = false;
    bool squares = false;
    bool grid = true;
    bool letters = true;
    // The pattern document and the shopping list; `options.stitch.snap` with --threads.
    document::PatternOptions options;
    bool fabricGiven = false;
    // The pattern in the open cross-stitch format.
    QString oxs;
    // --chart names an OXS file (by its ending): the pattern is read from it, not made.
    bool chartIsOxs = false;
};

// One option of the command line.
struct Option {
    QString name;      // without the dashes
    QString valueName; // as --help shows it; empty for a switch
    QString help;      // lines of --help after the option, joined by '\n'
    // The outputs it shapes: given without any of these options, it is a usage error.
    QStringList needs;
    // Stores the option's value (empty for a switch) into the request, or says why it is not one,
    // in words that follow "--name ".
    std::function<std::optional<QString>(const QString& value, ChartRequest& into)> apply;
    // What the value is. A file's name may not be empty: an empty one is a mistake in the command
    // line (a variable that was not set), never a way to ask for nothing.
    enum class Value { Text, File };
    Value value = Value::Text;
};

// Every option, in the order --help lists them.
std::span<const Option> options();

struct Parsed {
    enum class Action { Chart, Help, Version, Error };
    Action action = Action::Error;
    ChartRequest request;
    QString text; // the help, the version, or the one-line error
};

// Reads the arguments (the program's name first, as in argv).
Parsed parse(const QStringList& arguments);

// What --help prints.
QString helpText();

} // namespace trameda::batch
