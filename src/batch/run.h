#pragma once

// The command line's pipeline: read the picture and the palette, chart it, write the outputs.
// Runs on a QGuiApplication (the chart's fonts); links no Qt Widgets.

#include "options.h"

#include <QSize>
#include <QStringList>

class QTextStream;

namespace trameda::batch {

// Exit statuses: 0 done, 1 a file could not be read or written, 2 the command line is wrong.
constexpr int kDone = 0;
constexpr int kFileError = 1;
constexpr int kUsageError = 2;

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

} // namespace trameda::batch
