#include "safewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trameda {

namespace {

// Large enough that the PDF writer's many small pieces become few system calls.
constexpr qsizetype kBufferSize = 64 * 1024;
// Names tried for a file that never replaces another: stampa-...-999.pdf at most.
constexpr int kMaxNames = 999;

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// Where writing `path` lands: a symbolic link is followed to the file it names, existing or not.
QString destination(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return QDir::cleanPath(info.absoluteFilePath());
    if (info.exists())
        return info.canonicalFilePath();
    return QDir::cleanPath(info.symLinkTarget());
}

// A hidden name beside `target`, different at every call. The target's name is kept in it, cut
// short, so that a file left by a killed run says what it was meant to be.
QString temporaryName(const QString& target) {
    const QFileInfo info(target);
    const QString tag =
        QString::number(QRandomGenerator::global()->generate64() % 2176782336u, 36); // 6 digits
    return info.absolutePath() + QStringLiteral("/.") + info.fileName().left(50) + u'.' + tag +
           QStringLiteral(".tmp");
}

// Moves `from` to `to` unless `to` exists; false with errno EEXIST when it does.
bool placeNew(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    // A file system without an exclusive rename: a hard link, too, fails on an existing name.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

// So that the new name, not only the content, survives a power cut. Nothing to report if it
// fails: the file is in place.
void syncFolder(const QString& file) {
    const int folder = ::open(native(QFileInfo(file).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace

QString notRegular(const struct stat& st) {
    return S_ISDIR(st.st_mode) ? QStringLiteral("è una cartella")
                               : QStringLiteral("non è un file normale");
}

QString writeErrorText(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("disco pieno");
    case EDQUOT:
        return QStringLiteral("spazio concesso sul disco esaurito");
    case EACCES:
    case EPERM:
        return QStringLiteral("permesso negato");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("cartella inesistente");
    case EROFS:
        return QStringLiteral("disco in sola lettura");
    case EIO:
        return QStringLiteral("errore del disco");
    case EFBIG:
        return QStringLiteral("file troppo grande");
    case ENAMETOOLONG:
        return QStringLiteral("nome troppo lungo");
    case EISDIR:
        return QStringLiteral("è una cartella");
    case ELOOP:
        return QStringLiteral("troppi collegamenti simbolici");
    case EEXIST:
        return QStringLiteral("il file esiste già");
    case ENOMEM:
        return QStringLiteral("memoria insufficiente");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("troppi file aperti");
    case EBADF:
    case EPIPE:
        return QStringLiteral("uscita chiusa");
    default:
        const char* name = strerrorname_np(error);
        return QStringLiteral("errore di sistema %1")
            .arg(name ? QString::fromLatin1(name) : QString::number(error));
    }
}

Failure outputProblem(const QString& path) {
    struct stat st {};
    const QString target = destination(path);
    if (::stat(native(target).constData(), &st) == 0)
        return S_ISREG(st.st_mode) ? Failure() : notRegular(st);
    if (errno != ENOENT)
        return writeErrorText(errno);
    if (::stat(native(QFileInfo(target).absolutePath()).constData(), &st) != 0)
        return writeErrorText(errno);
    return S_ISDIR(st.st_mode) ? Failure() : writeErrorText(ENOTDIR);
}

bool sameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    const bool aExists = ::stat(native(a).constData(), &sa) == 0;
    const bool bExists = ::stat(native(b).constData(), &sb) == 0;
    if (aExists || bExists)
        return aExists && bExists && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // Neither exists yet: the same name in the same folder, however the folder is reached.
    const auto canonical = [](const QString& path) {
        const QFileInfo target(destination(path));
        const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
        return (folder.isEmpty() ? target.absolutePath() : folder) + u'/' + target.fileName();
    };
    return canonical(a) == canonical(b);
}

// ---------------------------------------------------------------------------------------------

qint64 CheckedOutput::writeData(const char* data, qint64 size) {
    return writeAll(data, size) ? size : -1;
}

bool CheckedOutput::writeAll(const char* data, qint64 size) {
    if (failed())
        return false;
    while (size > 0) {
        const ssize_t n = ::write(m_descriptor, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(writeErrorText(n < 0 ? errno : ENOSPC));
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

void CheckedOutput::fail(const QString& why) {
    if (m_failure.isEmpty())
        m_failure = why;
}

StandardOutput::StandardOutput() : CheckedOutput(STDOUT_FILENO) {
    QIODevice::open(WriteOnly | Unbuffered);
}

// ---------------------------------------------------------------------------------------------

SafeFile::SafeFile(QString path) : m_path(std::move(path)), m_target(m_path) {}

SafeFile::SafeFile(Names name) : m_names(std::move(name)), m_target(m_names(1)) {}

SafeFile::~SafeFile() {
    discard();
}

bool SafeFile::open(OpenMode mode) {
    if (isOpen() || !(mode & WriteOnly) || (mode & ReadOnly))
        return false;
    struct stat existing {};
    bool replacing = false;
    if (!m_names) {
        m_target = destination(m_path);
        if (const Failure why = outputProblem(m_target)) {
            fail(*why);
            return false;
        }
        replacing = ::stat(native(m_target).constData(), &existing) == 0;
    }
    for (int attempt = 0; m_descriptor < 0; ++attempt) {
        m_temporary = native(temporaryName(m_target));
        m_descriptor =
            ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_descriptor < 0 && (errno != EEXIST || attempt == 100)) {
            fail(writeErrorText(errno));
            m_temporary.clear();
            return false;
        }
    }
    // The replacement keeps the permissions of the file it replaces, as far as it can.
    if (replacing)
        ::fchmod(m_descriptor, existing.st_mode & 07777);
    m_buffer.reserve(kBufferSize);
    return QIODevice::open(WriteOnly | Unbuffered);
}

qint64 SafeFile::writeData(const char* data, qint64 size) {
    if (failed())
        return -1;
    if (m_buffer.size() + size > kBufferSize) {
        if (!flushBuffer())
            return -1;
        if (size >= kBufferSize)
            return writeAll(data, size) ? size : -1;
    }
    m_buffer.append(data, size);
    return size;
}

bool SafeFile::flushBuffer() {
    const bool written = writeAll(m_buffer.constData(), m_buffer.size());
    m_buffer.resize(0);
    return written;
}

Failure SafeFile::commit() {
    if (!isOpen()) {
        // Closed by whoever wrote it (the close withdrew it), or never opened.
        if (!failed())
            fail(QStringLiteral("file chiuso prima di essere completo"));
        return failure();
    }
    bool ok = flushBuffer();
    // A file system that cannot sync says EINVAL; the data is then as safe as it can be made.
    if (ok && ::fsync(m_descriptor) != 0 && errno != EINVAL) {
        fail(writeErrorText(errno));
        ok = false;
    }
    // Some file systems report a failed write only here. After EINTR the descriptor is closed
    // all the same.
    if (::close(m_descriptor) != 0 && errno != EINTR && ok) {
        fail(writeErrorText(errno));
        ok = false;
    }
    m_descriptor = -1;
    ok = ok && moveIntoPlace();
    discard();
    if (ok)
        return std::nullopt;
    // Every failing step above says why; this holds to the promise should one not.
    if (!failed())
        fail(QStringLiteral("scrittura non completata"));
    return failure();
}

bool SafeFile::moveIntoPlace() {
    if (!m_names) {
        // Something else may have been put there while the file was written.
        if (const Failure why = outputProblem(m_target)) {
            fail(*why);
            return false;
        }
        if (::rename(m_temporary.constData(), native(m_target).constData()) != 0) {
            fail(writeErrorText(errno));
            return false;
        }
    } else {
        for (int attempt = 1;; ++attempt) {
            const QString name = m_names(attempt);
            if (placeNew(m_temporary, native(name))) {
                m_target = name;
                break;
            }
            if (errno != EEXIST || attempt == kMaxNames) {
                fail(writeErrorText(errno));
                return false;
            }
        }
    }
    m_temporary.clear();
    syncFolder(m_target);
    return true;
}

void SafeFile::discard() noexcept {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
    if (isOpen())
        QIODevice::close();
}

Failure writeFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write) {
    SafeFile file(path);
    if (!file.open())
        return file.failure();
    const bool made = write(file);
    if (file.failed())
        return file.failure();
    if (!made)
        return QStringLiteral("scrittura non completata");
    return file.commit();
}

} // namespace trameda
