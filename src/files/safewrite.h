#pragma once

// Writing files so that nothing already saved is lost. Every output of the program goes through
// SafeFile (or writeFileSafely(), its one-call form): the new content is written aside, in a
// hidden file of the destination's folder, and takes the destination's place only when every
// byte was written, flushed and synced. Any failure on the way leaves the previous file exactly
// as it was and no partial or temporary file behind. Only regular files are ever replaced.
//
// Failures are told in the user's words (Italian), for a message that also names the file.

#include <QIODevice>
#include <QString>
#include <functional>
#include <optional>
#include <sys/stat.h>

namespace trameda {

// What an operation that can fail returns: nothing when it succeeded, else why it did not, in the
// user's words.
using Failure = std::optional<QString>;

// Why an output could not be written, from an errno value: "disco pieno", "permesso negato" ...
// (also why a file could not be opened for reading).
QString writeErrorText(int error);

// Why an existing path of this kind, not a regular file, is not used: "è una cartella" or "non è
// un file normale".
QString notRegular(const struct stat& st);

// Why `path` cannot be an output, nothing when it may be written: a path that exists and is not
// a regular file (symbolic links followed), a file the user may not write ("il file è protetto da
// scrittura"), or a folder that does not exist. The path is resolved as the system resolves it:
// "link/.." is the parent of the link's target. Touches nothing.
Failure outputProblem(const QString& path);

// Whether two paths name the same file: the same device and inode where the file exists (so
// symbolic and hard links count); where it does not, the same name in the same folder (device and
// inode), however the folder is reached and through however many links to a missing file.
bool sameFile(const QString& a, const QString& b);

// A device writing to an open descriptor, every write checked. The first failure is kept and
// every later write fails too.
class CheckedOutput : public QIODevice {
public:
    bool failed() const { return !m_failure.isEmpty(); }
    // Why it failed, in the user's words; empty while nothing has.
    QString failure() const { return m_failure; }
    bool isSequential() const override { return true; }

protected:
    explicit CheckedOutput(int descriptor = -1) : m_descriptor(descriptor) {}
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;
    // Writes all of `data` to the descriptor, through short writes and interruptions.
    bool writeAll(const char* data, qint64 size);
    void fail(const QString& why);

    int m_descriptor;

private:
    QString m_failure;
};

// The process's standard output, open for writing, unbuffered: a QTextStream on it buffers.
class StandardOutput : public CheckedOutput {
public:
    StandardOutput();
};

// A file written aside and moved into place by commit(). Destroying it, or discard(), before a
// successful commit removes what was written.
class SafeFile : public CheckedOutput {
public:
    // Replaces the regular file at `path`, if there is one; a symbolic link there is followed
    // (a chain of them too, to a file that does not exist yet) and the file it names is replaced,
    // keeping its owner, group and permissions. While the file is written aside, Ctrl-C, SIGTERM
    // or SIGHUP remove it before the program ends.
    explicit SafeFile(QString path);
    // A new file in one folder named by `name(1)`, `name(2)` ...: the first that does not exist at
    // the moment the file is complete. Nothing is ever replaced.
    using Names = std::function<QString(int attempt)>;
    explicit SafeFile(Names name);
    ~SafeFile() override;
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    // Begins the file aside; `mode` must be WriteOnly. False, with failure(), when the destination
    // is not a regular file or its folder cannot take a new file.
    bool open(OpenMode mode = WriteOnly) override;
    // Writes out, syncs and closes the file and moves it into place. Nothing when it is in place,
    // else why not (also kept as failure()); the destination is then as it was before open(). A
    // file closed before its commit, or never opened, is not put in place either.
    Failure commit();
    // Withdraws the file; the destination stays as it was.
    void discard() noexcept;
    // The destination: once committed, the file written; before, the one intended (the first
    // name of a series).
    QString path() const { return m_target; }

protected:
    qint64 writeData(const char* data, qint64 size) override;

private:
    // Closing withdraws the file: only commit() puts it in place. Private, so that no one closes
    // it by mistake; through QIODevice it is a discard().
    void close() override { discard(); }
    bool flushBuffer();
    bool moveIntoPlace();

    QString m_path;
    Names m_names;
    QString m_target;
    int m_folder = -1;      // the destination's folder, as the system resolved the path
    QByteArray m_name;      // the destination's name in it
    QByteArray m_temporary; // the file being written, in the same folder
    int m_pending = -1;     // its slot among the files a signal removes
    QByteArray m_buffer;
};

// Writes the file at `path` all or nothing: `write` puts the whole content into the device and
// returns false when it could not make it (an encoder that failed). Returns nothing when the file
// is in place, else why it is not, in the user's words.
Failure writeFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write);

} // namespace trameda
