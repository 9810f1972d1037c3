// Writing files all or nothing: a write that fails on the way leaves the old file and nothing
// else, and only regular files are ever replaced.
#include "files/safewrite.h"
#include "support/filelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace trameda;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// The kind of file at `path`, links not followed; 0 when there is none.
mode_t kind(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

} // namespace

class TestSafeWrite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void failedWritesLeaveTheOldFile_data();
    void failedWritesLeaveTheOldFile();
    void onlyRegularFilesAreWritten_data();
    void onlyRegularFilesAreWritten();
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
    // clang-format on
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
    for (const auto& [link, target] : {std::pair{"link-fifo.png", "fifo.png"},
                                       {"link.png", "vero.png"},
                                       {"link-nuovo.png", "nuovo2.png"}})
        QVERIFY(QFile::link(QString::fromUtf8(target), d.filePath(QString::fromUtf8(link))));

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
}

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "tst_safewrite.moc"
