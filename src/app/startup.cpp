#include "startup.h"

#include <QFileInfo>
#include <QStringTokenizer>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace trameda::startup {

namespace {

// The options that Qt's application object takes out of the arguments, spelled with "-" or
// "--": those followed by their value, those standing alone, and those that may also carry their
// value after "=" (-style=fusion). The X11 ones are taken only there, and are harmless elsewhere.
constexpr QStringView kWithValue =
    u"platform platformpluginpath platformtheme plugin qwindowgeometry qwindowicon qwindowtitle "
    u"session style stylesheet qmljsdebugger display geometry title icon name visual";
constexpr QStringView kAlone = u"reverse widgetcount testability nograb dograb";
constexpr QStringView kJoined = u"style stylesheet qmljsdebugger";

bool among(QStringView word, QStringView words) {
    for (const QStringView listed : QStringTokenizer(words, u' '))
        if (listed == word)
            return true;
    return false;
}

// Whether `argument` is one of Qt's options, and if so whether the next argument is its value.
std::optional<bool> qtOption(QStringView argument) {
    if (!argument.startsWith(u'-'))
        return std::nullopt;
    argument = argument.sliced(argument.startsWith(u"--") ? 2 : 1);
    if (among(argument, kWithValue))
        return true;
    const qsizetype equals = argument.indexOf(u'=');
    if (among(argument, kAlone) || (equals > 0 && among(argument.first(equals), kJoined)))
        return false;
    return std::nullopt;
}

} // namespace

Start decide(const QStringList& arguments) {
    Start start;
    QStringList rest;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == u"--") {
            rest << arguments.sliced(i); // names, even those that begin with "-"
            break;
        }
        const std::optional<bool> option = qtOption(arguments[i]);
        if (!option || (*option && i + 1 == arguments.size())) {
            rest << arguments[i]; // an option without its value is Qt's no more
            continue;
        }
        start.qtArguments.push_back(int(i));
        if (!*option)
            continue;
        if (arguments[i].endsWith(u"-platform"))
            start.platform = arguments[i + 1];
        start.qtArguments.push_back(int(++i));
    }
    const Start commandLine{Start::Mode::CommandLine, {}, {}, {}};
    if (rest.size() == 2 && rest.first() == u"--")
        rest.removeFirst();
    else if (rest.size() == 1 && rest.first().startsWith(u'-'))
        return commandLine; // one of the command line's own options
    if (rest.size() > 1 || (rest.size() == 1 && rest.first().isEmpty()))
        return commandLine;
    // Whatever the one name is (a JPEG named .jpeg, a file gone, a folder), the window says
    // what it makes of it: the desktop offers the program for pictures the list does not show.
    if (rest.size() == 1)
        start.picture = QFileInfo(rest.first()).absoluteFilePath();
    return start;
}

QString noWindow(const QString& platform, const QByteArray& display,
                 const QByteArray& waylandDisplay) {
    const QString start = QStringLiteral("impossibile aprire la finestra: ");
    const QString shown = platform.section(u':', 0, 0);
    if (!shown.isEmpty() && shown != u"xcb" && !shown.startsWith(u"wayland"))
        return start +
               QStringLiteral("la piattaforma grafica \u201C%1\u201D non si avvia").arg(platform);
    if (display.isEmpty() && waylandDisplay.isEmpty())
        return start + QStringLiteral("nessuno schermo (DISPLAY e WAYLAND_DISPLAY non sono "
                                      "impostate); senza finestra: trameda --chart IMMAGINE");
    const QByteArray named =
        shown.startsWith(u"wayland") || display.isEmpty() ? waylandDisplay : display;
    return start + QStringLiteral("lo schermo \u201C%1\u201D non risponde")
                       .arg(QString::fromLocal8Bit(named));
}

namespace {

// What Qt said while the window's application object started, and the handler it replaced.
struct Held {
    QString platform;
    QtMessageHandler previous = nullptr;
    std::vector<std::pair<QtMsgType, QString>> messages;
};
std::optional<Held> held;

void holdMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        held->messages.emplace_back(type, message);
        return;
    }
    // Qt gives up on its platform here and would abort; the user gets the reason instead.
    const QString line = QStringLiteral("trameda: ") +
                         noWindow(held->platform, qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")) +
                         u'\n';
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

WindowStart::WindowStart(const QString& platform) {
    held.emplace();
    held->platform = platform.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : platform;
    held->previous = qInstallMessageHandler(holdMessage);
}

WindowStart::~WindowStart() {
    started();
}

void WindowStart::started() {
    if (!held)
        return;
    const Held done = std::move(*held);
    held.reset();
    qInstallMessageHandler(done.previous);
    for (const auto& [type, message] : done.messages) {
        QMessageLogger logger;
        switch (type) {
        case QtDebugMsg:
            logger.debug("%ls", qUtf16Printable(message));
            break;
        case QtInfoMsg:
            logger.info("%ls", qUtf16Printable(message));
            break;
        case QtCriticalMsg:
            logger.critical("%ls", qUtf16Printable(message));
            break;
        default:
            logger.warning("%ls", qUtf16Printable(message));
            break;
        }
    }
}

} // namespace trameda::startup
