#pragma once

#include "document/layout.h"
#include "document/symbols.h"

#include <QSize>
#include <QString>
#include <QStringList>

class QTextStream;

namespace trameda::commandline {

// A chart made without the window: `trameda --chart PICTURE [--png FILE] [--pdf FILE] ...`.
struct ChartRequest {
    QString picture;
    QString png;
    QString pdf;
    bool key = false;
    int across = 45;
    int down = 50;
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
    // The pattern document and the shopping list.
    QString pattern;
    QString keyCsv;
    bool threads = false; // palette entries in use snapped to their nearest DMC thread
    bool blackAndWhite = false;
    int strands = 2;
    int fabric = 14;
    int over = 1;    // fabric threads a stitch covers: 1 Aida, 2 linen
    int margin = 20; // per cent of thread added before skeins are counted
    double cell = 0; // 0: about document::kDefaultCell, as few pages as that allows
    document::SymbolSet symbols = document::SymbolSet::Distinct;
    document::Paper paper = document::Paper::A4;
    QString title; // empty: the picture's file name
};

struct Parsed {
    enum class Action { Chart, Help, Version, Error };
    Action action = Action::Error;
    ChartRequest request;
    QString text; // the help, the version, or the one-line error
};

// Exit statuses: 0 done, 1 a file could not be read or written, 2 the command line is wrong.
constexpr int kDone = 0;
constexpr int kFileError = 1;
constexpr int kUsageError = 2;

// Reads the arguments (the program's name first, as in argv).
Parsed parse(const QStringList& arguments);

// The surface size for a request: the one asked for, or 400 wide and as high as square cells
// need (400 x down / across, truncated).
QSize surfaceSize(const ChartRequest& request);

// Makes the chart and writes what was asked; messages go to `err`, the colour key to `out`.
// Returns the exit status.
int run(const ChartRequest& request, QTextStream& out, QTextStream& err);

// The whole command line: parse, then help, version or the chart. Needs a QGuiApplication.
int main(const QStringList& arguments);

// Keeps Qt's own chatter (decoders' complaints about damaged files, desktop settings) off the
// standard error of a command line, where only the program's messages belong. Install before
// the application object is made.
void silenceQtMessages();

} // namespace trameda::commandline
