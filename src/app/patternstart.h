#pragma once

// What the window hands the pattern dialog: the window's state when the dialog is asked for.
// Plain data, copied, so the dialog never reads the window's controls afterwards.

#include <QRgb>
#include <QString>
#include <vector>

class QWidget;

namespace trameda {

class Dialogs;

struct PatternStart {
    QString picture;            // the loaded picture's file, to be read at full resolution;
                                // empty while no picture is loaded
    std::vector<QRgb> swatches; // the swatches in use (Text1's count), in order
    int across = 0;             // stitches across, HScroll1(2)
    int down = 0;               // stitches down, HScroll1(3)
};

// Shows the window's one pattern dialog ("Schema da ricamo") for `start`, or raises the one
// already open. `window` owns the dialog; `dialogs` answers its messages and file choosers.
void showPatternDialog(QWidget* window, Dialogs& dialogs, const PatternStart& start);

} // namespace trameda
