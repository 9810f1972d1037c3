#pragma once

#include <QString>
#include <QStringList>

namespace trameda::startup {

// How the program starts, decided from its arguments before any application object exists.
struct Start {
    enum class Mode { Window, CommandLine };
    Mode mode = Mode::Window;
    QString picture; // with the window: the full path of a picture to open on, or empty
};

// `arguments` as in argv, the program's name first. Qt's own options (-style, -platform,
// -geometry, -reverse ...) are left to the window. Without further arguments the window opens as
// usual; with one that names an existing JPEG, GIF or BMP file by its name (a file manager's
// "Open with"), the window opens on that picture; anything else is a command line.
Start decide(const QStringList& arguments);

} // namespace trameda::startup
