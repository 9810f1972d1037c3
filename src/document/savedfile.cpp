#include "savedfile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace trameda::document {

std::optional<QString> saveAllOrNothing(const QString& path,
                                        const std::function<bool(QIODevice&)>& write) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("non è un file normale");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile remembers a failed write and then refuses to commit.
    const bool written = write(file);
    if (!written || file.error() != QFileDevice::NoError) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("errore di scrittura");
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace trameda::document
