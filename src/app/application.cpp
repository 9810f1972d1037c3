#include "application.h"

#include <QCoreApplication>
#include <QFont>

namespace trameda {

void prepareApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Trameda"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRAMEDA_VERSION));
    // The window's fonts keep the names they were designed with; these faces stand in for them.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                QStringLiteral("DejaVu Sans")});
}

} // namespace trameda
