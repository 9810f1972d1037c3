#include "application.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

namespace trameda {

void prepareApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Trameda"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRAMEDA_VERSION));
    // The name the desktop entry, the icon and the AppStream data are installed under; the
    // desktop matches the window to its entry by it.
    const QString id = QStringLiteral("io.github.trameda.Trameda");
    QGuiApplication::setDesktopFileName(id);
    // The desktop's theme holds the installed icon; the built-in copy serves where it does not.
    QIcon builtIn;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icon/%1.png").arg(size), QSize(size, size));
    QGuiApplication::setWindowIcon(QIcon::fromTheme(id, builtIn));
    // The window's fonts keep the names they were designed with; these faces stand in for them.
    // Those with Liberation Sans' metrics come first; the window measures its captions in the
    // face it gets and chooses another, or a smaller size, where they do not fit.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                                QStringLiteral("Helvetica"), QStringLiteral("FreeSans"),
                                QStringLiteral("DejaVu Sans")});
    // The program speaks Italian whatever the desktop's language, and so do Qt's own dialogs
    // (the folder chooser, the buttons of message boxes).
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_it"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

void keepNoSettings() {
    // Below a device no settings file can be read or made, whoever runs the program: what Qt
    // would remember is dropped, and the user's own files are neither read nor touched.
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}

} // namespace trameda
