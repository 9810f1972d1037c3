#pragma once

// Reading a small file whole, within a bound, whatever the file claims: only a regular file is
// opened at all (a FIFO would keep the program waiting), by the name's own bytes. Safe on any
// thread.

#include <QByteArray>
#include <QString>
#include <optional>

namespace trameda {

struct BoundedRead {
    QByteArray bytes;      // at most the bound
    bool complete = false; // the file ended within the bound
};

// The first `limit` bytes of the file at `path`, or why it cannot be read, in a few Italian words
// ("file non trovato", "è una cartella", "non è un file normale", "permesso negato", "errore di
// lettura del file").
struct ReadResult {
    std::optional<BoundedRead> read;
    QString failure; // when there is no read
};
ReadResult readBounded(const QString& path, qint64 limit);

} // namespace trameda
