#include "application.h"

#include <QCoreApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace trameda {

void prepareApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Trameda"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRAMEDA_VERSION));
    // The window's fonts keep the names they were designed with; these faces stand in for them.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans")});
    // The program speaks Italian whatever the desktop's language, and so do Qt's own dialogs
    // (the folder chooser, the buttons of message boxes).
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_it"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

} // namespace trameda
