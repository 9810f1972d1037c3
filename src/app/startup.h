#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

namespace trameda::startup {

// How the program starts, decided from its arguments before any application object exists.
struct Start {
    enum class Mode { Window, CommandLine };
    Mode mode = Mode::Window;
    QString picture; // with the window: the full path of a picture to open on, or empty
    // With the window: the positions in argv of Qt's own options and their values, the only
    // arguments the window's application object is given.
    std::vector<int> qtArguments;
    QString platform; // the value of a -platform option, or empty
};

// `arguments` as in argv, the program's name first. Qt's own options (-style, -platform,
// -geometry, -reverse ...) are left to the window. Without further arguments the window opens as
// usual; with one that names a file (a file manager's "Open with"), or one after "--", the window
// opens on that picture, whether or not it turns out to be one it can read; anything else is a
// command line.
Start decide(const QStringList& arguments);

// Why the window cannot open, in one line: the graphical platform asked for (`platform`, from
// -platform or QT_QPA_PLATFORM) did not start with the display the environment names.
QString noWindow(const QString& platform, const QByteArray& display,
                 const QByteArray& waylandDisplay);

// Holds what Qt says while the window's application object starts. Should it fail to reach a
// display, Qt's own words and abort give way to one line from noWindow() and exit status 1; once
// it has started, started() lets Qt's messages through again, those held first.
class WindowStart {
public:
    explicit WindowStart(const QString& platform);
    ~WindowStart();
    WindowStart(const WindowStart&) = delete;
    WindowStart& operator=(const WindowStart&) = delete;
    void started();
};

} // namespace trameda::startup
