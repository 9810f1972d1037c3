#include "startup.h"

#include "files/names.h"
#include "picture/sizes.h"

#include <QDir>
#include <QFileInfo>
#include <QStringTokenizer>
#include <optional>
#include <sys/stat.h>

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
    const Start commandLine{Start::Mode::CommandLine, {}};
    QStringList rest;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const std::optional<bool> option = qtOption(arguments[i]);
        if (!option || (*option && i + 1 == arguments.size())) {
            rest << arguments[i]; // an option without its value is Qt's no more
            continue;
        }
        if (*option)
            ++i;
    }
    if (rest.isEmpty())
        return {};
    if (rest.size() == 1) {
        const QFileInfo file(rest.first());
        // The desktop offers the program for every JPEG, also those named .jpeg or .jpe, which
        // the list does not show.
        const QStringList pictures =
            (picture::listPattern() + QStringLiteral(";*.jpeg;*.jpe")).split(u';');
        struct stat status {}; // by the name's own bytes, which need not be UTF-8
        const bool isFile = ::stat(nameBytes(rest.first()).constData(), &status) == 0 &&
                            S_ISREG(status.st_mode);
        // Matched as shown: a pattern cannot match text holding a stray byte.
        if (isFile && QDir::match(pictures, shownName(file.fileName())))
            return {Start::Mode::Window, file.absoluteFilePath()};
    }
    return commandLine;
}

} // namespace trameda::startup
