#include "modulesfoglia.h"

#include "runtime/dialogs.h"

#include <QDir>

namespace trameda::Modulesfoglia {

QString sceglicartella(Dialogs& dialogs, QWidget* owner, const QString& prompt) {
    const QString chosen = dialogs.chooseFolder(owner, prompt);
    if (chosen.isEmpty())
        return {};
    return QDir::cleanPath(QDir(chosen).absolutePath());
}

} // namespace trameda::Modulesfoglia
