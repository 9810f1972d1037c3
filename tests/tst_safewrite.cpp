// Writing files all or nothing: a write that fails on the way leaves the old file and nothing
// else, only regular files are ever replaced, and a path leads where the system resolves it.
#include "files/names.h"
#include "files/safewrite.h"
#include "support/filelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace trameda;

namespace {

// Files opened by their names' own bytes, as the program opens them.
QByteArray contents(const QString& path) {
    QFile f;
    const int fd = ::open(nameBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    return fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)
               ? f.readAll()
               : QByteArray("(missing)");
}

// The kind of file at `path`, links not followed; 0 when there is none.
mode_t kind(const QString& path) {
    struct stat st {};
    return ::lstat(nameBytes(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

} // namespace

class TestSafeWrite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedWritesLeaveTheOldFile_data();
    void failedWritesLeaveTheOldFile();
    void onlyRegularFilesAreWritten_data();
    void onlyRegularFilesAreWritten();
    void replacementKeepsOwnerAndMode_data();
    void replacementKeepsOwnerAndMode();
    void endingSignalsRemoveTheFileAside_data();
    void endingSignalsRemoveTheFileAside();
    void namesKeepTheirBytes_data();
    void namesKeepTheirBytes();
};

void TestSafeWrite::failedWritesLeaveTheOldFile_data() {
    QTest::addColumn<bool>("old");
    QTest::addColumn<int>("limit"); // bytes a file may grow to; -1 for no limit
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("ending"); // "commit", "drop" or "close" (then commit)
    QTest::addColumn<QString>("why");    // what the commit says; empty when the file is in place
    const QString full = QStringLiteral("file troppo grande");
    const QString closed = QStringLiteral("file chiuso prima di essere completo");
    // clang-format off
    QTest::newRow("complete, over an old file")    << true  << -1     << 200000 << "commit" << "";
    QTest::newRow("full while flushing at commit") << true  << 10     << 1000   << "commit" << full;
    QTest::newRow("full in the midst of writes")   << true  << 100000 << 300000 << "commit" << full;
    QTest::newRow("full, no old file")             << false << 10     << 1000   << "commit" << full;
    QTest::newRow("dropped before the commit")     << true  << -1     << 1000   << "drop"   << "";
    QTest::newRow("closed by its writer")          << true  << -1     << 1000   << "close"  << closed;
    QTest::newRow("closed, no old file")           << false << -1     << 1000   << "close"  << closed;
    // clang-format on
}

void TestSafeWrite::failedWritesLeaveTheOldFile() {
    QFETCH(bool, old);
    QFETCH(int, limit);
    QFETCH(int, size);
    QFETCH(QString, ending);
    QFETCH(QString, why);
    const bool replaced = ending == QStringLiteral("commit") && why.isEmpty();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("schema.png"));
    if (old) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("vecchio");
    }
    const QByteArray bytes(size, 'x');
    {
        std::optional<FileSizeLimit> full;
        if (limit >= 0)
            full.emplace(rlim_t(limit));
        SafeFile file(path);
        QVERIFY(file.open());
        file.write(bytes);
        if (ending == QStringLiteral("close"))
            static_cast<QIODevice&>(file).close();
        if (ending != QStringLiteral("drop"))
            QCOMPARE(file.commit().value_or(QString()), why);
    }
    // The one-call form says the same.
    if (ending == QStringLiteral("close")) {
        const Failure said = writeFileSafely(path, [&](QIODevice& device) {
            device.write(bytes);
            device.close();
            return true;
        });
        QCOMPARE(said.value_or(QString()), why);
    }
    QCOMPARE(contents(path), replaced ? bytes : old ? QByteArray("vecchio") : "(missing)");
    const QStringList left =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(left, old || replaced ? QStringList{QStringLiteral("schema.png")} : QStringList{});
}

void TestSafeWrite::onlyRegularFilesAreWritten_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refused");  // why, or empty when written
    QTest::addColumn<QString>("receiver"); // the file that gets the content
    // clang-format off
    QTest::newRow("new file")       << "nuovo.png"      << ""                      << "nuovo.png";
    QTest::newRow("FIFO")           << "fifo.png"       << "non è un file normale" << "";
    QTest::newRow("folder")         << "cartella.png"   << "è una cartella"        << "";
    QTest::newRow("link to a FIFO") << "link-fifo.png"  << "non è un file normale" << "";
    QTest::newRow("link to a file") << "link.png"       << ""                      << "vero.png";
    QTest::newRow("dangling link")  << "link-nuovo.png" << ""                      << "nuovo2.png";
    QTest::newRow("missing folder") << "manca/x.png"    << "cartella inesistente"  << "";
    // The path as the system resolves it: "link/.." is the parent of the link's target.
    QTest::newRow("link, then ..")  << "sub/../x.png"   << ""                      << "far/x.png";
    QTest::newRow("chain to a new file") << "l1.png"    << ""                      << "nuovo3.png";
    QTest::newRow("link loop")      << "loop.png"       << "troppi collegamenti simbolici" << "";
    QTest::newRow("a folder's name") << "cartella.png/" << "è una cartella"        << "";
    QTest::newRow("read-only file") << "sola-lettura.png" << "il file è protetto da scrittura"
                                    << "";
    // clang-format on
    const QString latin1 = nameFromBytes("caff\xe8.png");
    QTest::newRow("a name in Latin-1") << latin1 << "" << latin1;
}

void TestSafeWrite::onlyRegularFilesAreWritten() {
    QFETCH(QString, name);
    QFETCH(QString, refused);
    QFETCH(QString, receiver);
    QTemporaryDir dir;
    const QDir d(dir.path());
    QVERIFY(::mkfifo(QFile::encodeName(d.filePath(QStringLiteral("fifo.png"))), 0644) == 0);
    QVERIFY(d.mkdir(QStringLiteral("cartella.png")));
    QVERIFY(QFile(d.filePath(QStringLiteral("vero.png"))).open(QIODevice::WriteOnly));
    QVERIFY(d.mkpath(QStringLiteral("far/sub")));
    for (const auto& [link, target] : {std::pair{"link-fifo.png", "fifo.png"},
                                       {"link.png", "vero.png"},
                                       {"link-nuovo.png", "nuovo2.png"},
                                       {"sub", "far/sub"},
                                       {"l1.png", "l2.png"},
                                       {"l2.png", "nuovo3.png"},
                                       {"loop.png", "loop.png"}})
        QVERIFY(QFile::link(QString::fromUtf8(target), d.filePath(QString::fromUtf8(link))));
    QFile readOnly(d.filePath(QStringLiteral("sola-lettura.png")));
    QVERIFY(readOnly.open(QIODevice::WriteOnly));
    QVERIFY(readOnly.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther));
    if (name == u"sola-lettura.png" && ::geteuid() == 0)
        QSKIP("root may write any file");

    const QString path = d.filePath(name);
    const mode_t before = kind(path);
    QCOMPARE(outputProblem(path).value_or(QString()), refused);
    SafeFile file(path);
    QCOMPARE(file.open(), refused.isEmpty());
    if (refused.isEmpty()) {
        file.write("nuovo");
        QVERIFY(!file.commit());
        QCOMPARE(contents(d.filePath(receiver)), QByteArray("nuovo"));
    } else {
        QCOMPARE(file.failure(), refused);
    }
    // Whatever stood there is still there, of its kind: a link stays a link.
    if (before != 0)
        QCOMPARE(kind(path), before);
    QCOMPARE(kind(d.filePath(QStringLiteral("l2.png"))), mode_t(S_IFLNK));
    // QTemporaryDir cannot remove a name that is not UTF-8.
    ::unlink(nameBytes(d.filePath(receiver)).constData());
}

void TestSafeWrite::replacementKeepsOwnerAndMode_data() {
    QTest::addColumn<uint>("owner"); // given to the old file; only root can give another's
    QTest::addColumn<uint>("mode");
    QTest::newRow("the user's, private") << uint(::geteuid()) << 0600u;
    QTest::newRow("the user's, group may write") << uint(::geteuid()) << 0664u;
    QTest::newRow("another user's, replaced by root") << 65534u << 0640u;
}

void TestSafeWrite::replacementKeepsOwnerAndMode() {
    QFETCH(uint, owner);
    QFETCH(uint, mode);
    if (owner != ::geteuid() && ::geteuid() != 0)
        QSKIP("only root replaces another user's file");
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("vecchio.csv")));
    QVERIFY(QFile(dir.filePath(QStringLiteral("vecchio.csv"))).open(QIODevice::WriteOnly));
    QVERIFY(::chown(path.constData(), owner, gid_t(-1)) == 0);
    QVERIFY(::chmod(path.constData(), mode) == 0);
    QVERIFY(
        !writeFileSafely(QFile::decodeName(path), [](QIODevice& f) { return f.write("x") == 1; }));
    struct stat st {};
    QVERIFY(::stat(path.constData(), &st) == 0);
    QCOMPARE(uint(st.st_uid), owner);
    QCOMPARE(uint(st.st_mode & 07777), mode);
}

void TestSafeWrite::endingSignalsRemoveTheFileAside_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("Ctrl-C") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("terminal closed") << SIGHUP;
}

void TestSafeWrite::endingSignalsRemoveTheFileAside() {
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("schema.pdf"));
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // The signal comes while the file is written aside, to a program that left it to the
        // system (unlike the test's own handlers).
        ::signal(signal, SIG_DFL);
        SafeFile file(path);
        if (file.open() && file.write(QByteArray(100000, 'x')) == 100000)
            ::raise(signal);
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), signal);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

void TestSafeWrite::namesKeepTheirBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown"); // in a one-line message
    QTest::newRow("UTF-8") << QByteArray("metà 😀.png") << QStringLiteral("metà 😀.png");
    QTest::newRow("Latin-1") << QByteArray("caff\xe8.csv") << QStringLiteral("caff\\xE8.csv");
    QTest::newRow("sequence cut short") << QByteArray("a\xc3") << QStringLiteral("a\\xC3");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QStringLiteral("\\xC0\\xAF");
    QTest::newRow("encoded surrogate")
        << QByteArray("\xed\xb2\x80") << QStringLiteral("\\xED\\xB2\\x80");
    QTest::newRow("beyond U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80") << QStringLiteral("\\xF4\\x90\\x80\\x80");
    QTest::newRow("line break, tab, escape")
        << QByteArray("a\nb\tc\x1b") << QStringLiteral("a\\nb\\tc\\x1B");
}

void TestSafeWrite::namesKeepTheirBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    const QString name = nameFromBytes(bytes);
    QCOMPARE(nameBytes(name), bytes);
    QCOMPARE(shownName(name), shown);
}

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "tst_safewrite.moc"
