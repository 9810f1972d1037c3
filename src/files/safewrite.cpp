#include "safewrite.h"

#include "names.h"

#include <QRandomGenerator>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <variant>

namespace trameda {

namespace {

// Large enough that the PDF writer's many small pieces become few system calls.
constexpr qsizetype kBufferSize = 64 * 1024;
// Names tried for a file that never replaces another: stampa-...-999.pdf at most.
constexpr int kMaxNames = 999;
// Links followed before a path is taken for a loop, as the system counts them.
constexpr int kMaxLinks = 40;

// A descriptor closed when it goes out of use.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// The folder part of a path as the system reads it, and its last name. The folder is opened as it
// is written, so "link/.." is wherever the link's target's parent is, not the folder holding the
// link.
struct Split {
    QByteArray folder;
    QByteArray name;
};
Split split(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {QByteArrayLiteral("."), path};
    return {slash == 0 ? QByteArrayLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

Descriptor openFolder(int base, const QByteArray& folder) {
    return Descriptor(::openat(base, folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// Where writing a path lands, as the system resolves it: the folder that holds, or is to hold,
// the file, open, and the file's name in it. Symbolic links at the end are followed one after the
// other, also to a file that does not exist yet; links and ".." inside the path are left to the
// system. The folder is reached once: a relative path is opened from the current folder however
// long the current folder's own path is.
struct Place {
    Descriptor folder;
    QByteArray name;
    bool exists = false;
    struct stat file {}; // the file where it exists, links followed
};

std::variant<Place, QString> resolve(const QByteArray& path) {
    if (path.isEmpty())
        return writeErrorText(ENOENT);
    Descriptor base;
    QByteArray rest = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        const Split part = split(rest);
        if (part.name.isEmpty() || part.name == "." || part.name == "..") {
            // The path names a folder, whatever it holds.
            const Descriptor folder = openFolder(base.get() < 0 ? AT_FDCWD : base.get(), rest);
            return writeErrorText(folder.get() >= 0 ? EISDIR : errno);
        }
        Place place{openFolder(base.get() < 0 ? AT_FDCWD : base.get(), part.folder), part.name};
        if (place.folder.get() < 0)
            return writeErrorText(errno);
        if (::fstatat(place.folder.get(), part.name.constData(), &place.file,
                      AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return writeErrorText(errno);
            return place;
        }
        if (!S_ISLNK(place.file.st_mode)) {
            place.exists = true;
            return place;
        }
        // A link's target is read from the link's own folder.
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length =
            ::readlinkat(place.folder.get(), part.name.constData(), target.data(), target.size());
        if (length < 0)
            return writeErrorText(errno);
        if (length >= target.size())
            return writeErrorText(ENAMETOOLONG);
        rest = target.left(length);
        base = std::move(place.folder);
    }
    return writeErrorText(ELOOP);
}

// Why a file that exists may not be replaced: it is no regular file, or the user may not write it
// (a file made read-only is kept as its owner asked, even where the folder would allow it).
Failure refusal(const Place& place) {
    if (!place.exists)
        return std::nullopt;
    if (!S_ISREG(place.file.st_mode))
        return notRegular(place.file);
    if (::faccessat(place.folder.get(), place.name.constData(), W_OK, AT_EACCESS) != 0) {
        if (errno == EACCES || errno == EPERM)
            return QStringLiteral("il file è protetto da scrittura");
        if (errno == EROFS)
            return writeErrorText(errno);
    }
    return std::nullopt;
}

// A hidden name beside the file, different at every call. The file's name is kept in it, cut
// short, so that a file left by a killed run says what it was meant to be.
QByteArray temporaryName(const QByteArray& name) {
    const QByteArray tag =
        QByteArray::number(QRandomGenerator::global()->generate64() % 2176782336u, 36); // 6 digits
    return '.' + name.left(50) + '.' + tag + ".tmp";
}

// Moves `from` to `to` in `folder` unless `to` exists; false with errno EEXIST when it does.
bool placeNew(int folder, const QByteArray& from, const QByteArray& to) {
    if (::renameat2(folder, from.constData(), folder, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    // A file system without an exclusive rename: a hard link, too, fails on an existing name.
    if (::linkat(folder, from.constData(), folder, to.constData(), 0) != 0)
        return false;
    ::unlinkat(folder, from.constData(), 0);
    return true;
}

// So that the new name, not only the content, survives a power cut. Nothing to report if it
// fails: the file is in place.
void syncFolder(int folder) {
    const Descriptor readable(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (readable.get() >= 0)
        ::fsync(readable.get());
}

// The files being written aside, for a signal that ends the program to remove: Ctrl-C, a
// terminal closed or a shutdown leave no hidden file behind. Only what a signal handler may
// touch: fixed slots, atomics, unlinkat().
struct Pending {
    std::atomic<int> state{0}; // 0 free, 1 being filled, 2 holds a file
    int folder = -1;
    char name[NAME_MAX + 1] = {};
};
std::array<Pending, 32> pending;
constexpr std::array kEndingSignals{SIGINT, SIGTERM, SIGHUP};

void removePending(int signal) {
    for (Pending& slot : pending)
        if (slot.state.load() == 2)
            ::unlinkat(slot.folder, slot.name, 0);
    // Then the program ends as the signal would have ended it, with its status.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Signals that someone else handles, or ignores (nohup), are left as they are. Looked at for
// every file, as the program may have handed a signal back to the system meanwhile.
void watchEndingSignals() {
    for (const int signal : kEndingSignals) {
        struct sigaction now {};
        if (::sigaction(signal, nullptr, &now) != 0 || now.sa_handler != SIG_DFL)
            continue;
        struct sigaction removing {};
        removing.sa_handler = removePending;
        sigemptyset(&removing.sa_mask);
        for (const int other : kEndingSignals)
            sigaddset(&removing.sa_mask, other);
        ::sigaction(signal, &removing, nullptr);
    }
}

// The slot that holds `name`, or -1 when all are taken (the file is then only not removed by a
// signal).
int holdPending(int folder, const QByteArray& name) {
    watchEndingSignals();
    if (name.size() > NAME_MAX)
        return -1;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        int free = 0;
        if (!pending[i].state.compare_exchange_strong(free, 1))
            continue;
        pending[i].folder = folder;
        std::memcpy(pending[i].name, name.constData(), std::size_t(name.size()) + 1);
        pending[i].state.store(2);
        return int(i);
    }
    return -1;
}

void releasePending(int& slot) {
    if (slot >= 0)
        pending[std::size_t(slot)].state.store(0);
    slot = -1;
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
    auto place = resolve(nameBytes(path));
    if (const QString* why = std::get_if<QString>(&place))
        return *why;
    return refusal(std::get<Place>(place));
}

bool sameFile(const QString& a, const QString& b) {
    auto first = resolve(nameBytes(a));
    auto second = resolve(nameBytes(b));
    const Place* p = std::get_if<Place>(&first);
    const Place* q = std::get_if<Place>(&second);
    if (!p || !q || p->exists != q->exists)
        return false;
    if (p->exists)
        return p->file.st_dev == q->file.st_dev && p->file.st_ino == q->file.st_ino;
    // Neither exists yet: the same name in the same folder, however the folder is reached (a
    // link, "..", a bind mount).
    struct stat pf {
    }, qf{};
    return p->name == q->name && ::fstat(p->folder.get(), &pf) == 0 &&
           ::fstat(q->folder.get(), &qf) == 0 && pf.st_dev == qf.st_dev && pf.st_ino == qf.st_ino;
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
    if (m_folder >= 0)
        ::close(m_folder);
}

bool SafeFile::open(OpenMode mode) {
    if (isOpen() || !(mode & WriteOnly) || (mode & ReadOnly))
        return false;
    struct stat existing {};
    bool replacing = false;
    if (m_folder >= 0)
        ::close(std::exchange(m_folder, -1));
    if (!m_names) {
        auto resolved = resolve(nameBytes(m_path));
        if (const QString* why = std::get_if<QString>(&resolved)) {
            fail(*why);
            return false;
        }
        Place& place = std::get<Place>(resolved);
        if (const Failure why = refusal(place)) {
            fail(*why);
            return false;
        }
        replacing = place.exists;
        existing = place.file;
        m_name = place.name;
        m_folder = place.folder.release();
    } else {
        // A series never follows a link at its names: it only ever takes a free one.
        const Split first = split(nameBytes(m_target));
        m_folder = openFolder(AT_FDCWD, first.folder).release();
        if (m_folder < 0) {
            fail(writeErrorText(errno));
            return false;
        }
    }
    const QByteArray base = m_names ? split(nameBytes(m_target)).name : m_name;
    for (int attempt = 0; m_descriptor < 0; ++attempt) {
        m_temporary = temporaryName(base);
        m_descriptor = ::openat(m_folder, m_temporary.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_descriptor < 0 && (errno != EEXIST || attempt == 100)) {
            fail(writeErrorText(errno));
            m_temporary.clear();
            return false;
        }
    }
    m_pending = holdPending(m_folder, m_temporary);
    // The replacement keeps the owner, group and permissions of the file it replaces, as far as
    // the user may give them (the owner only as root). The owner first: a change of owner clears
    // the set-user-ID bits that the permissions then put back.
    if (replacing) {
        if (::fchown(m_descriptor, existing.st_uid, existing.st_gid) != 0)
            (void)!::fchown(m_descriptor, uid_t(-1), existing.st_gid); // the group alone, if ours
        ::fchmod(m_descriptor, existing.st_mode & 07777);
    }
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
        // Something else may have been put there while the file was written: only a regular
        // file, or none, gives way.
        struct stat now {};
        if (::fstatat(m_folder, m_name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISREG(now.st_mode)) {
            fail(notRegular(now));
            return false;
        }
        if (::renameat(m_folder, m_temporary.constData(), m_folder, m_name.constData()) != 0) {
            fail(writeErrorText(errno));
            return false;
        }
    } else {
        for (int attempt = 1;; ++attempt) {
            const QString name = m_names(attempt);
            if (placeNew(m_folder, m_temporary, split(nameBytes(name)).name)) {
                m_target = name;
                break;
            }
            if (errno != EEXIST || attempt == kMaxNames) {
                fail(writeErrorText(errno));
                return false;
            }
        }
    }
    releasePending(m_pending);
    m_temporary.clear();
    syncFolder(m_folder);
    return true;
}

void SafeFile::discard() noexcept {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlinkat(m_folder, m_temporary.constData(), 0);
        m_temporary.clear();
    }
    releasePending(m_pending);
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
