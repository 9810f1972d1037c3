#include "readfile.h"

#include "names.h"
#include "safewrite.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trameda {

ReadResult readBounded(const QString& path, qint64 limit) {
    const auto cannot = [](const QString& cause) { return ReadResult{std::nullopt, cause}; };
    const auto openFailure = [](int error) {
        return error == ENOENT || error == ENOTDIR ? QStringLiteral("file non trovato")
                                                   : writeErrorText(error);
    };
    const QByteArray name = nameBytes(path); // the name's own bytes, which need not be UTF-8
    struct stat status {};
    if (name.isEmpty())
        return cannot(openFailure(ENOENT));
    if (::stat(name.constData(), &status) != 0)
        return cannot(openFailure(errno));
    if (!S_ISREG(status.st_mode))
        return cannot(notRegular(status));
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return cannot(openFailure(errno));
    QFile file;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return cannot(QStringLiteral("errore di lettura del file"));
    }
    BoundedRead read;
    read.bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError)
        return cannot(QStringLiteral("errore di lettura del file"));
    // One byte more than the limit tells a file that ends there from one that goes on.
    read.complete = read.bytes.size() < limit || file.read(1).isEmpty();
    return {std::move(read), {}};
}

} // namespace trameda
