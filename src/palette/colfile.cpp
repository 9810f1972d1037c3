#include "colfile.h"

#include "files/readfile.h"
#include "runtime/numbers.h"

namespace trameda::palette {

namespace {

constexpr double kLargestColour = 16777215;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool isText(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x20 || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

QByteArray writeColFile(const Colours& colours) {
    QByteArray bytes;
    for (const Colour c : colours) {
        // The magnitude of the most negative value does not fit in a Colour.
        const qint64 value = c;
        bytes += value < 0 ? '-' : ' ';
        bytes += QByteArray::number(value < 0 ? -value : value);
        bytes += " \r\n";
    }
    return bytes;
}

ColFileRead parseColFile(QByteArrayView head, bool complete) {
    ColFileRead read;
    qsizetype at = 0;
    const qsizetype end = head.size();
    // Editors that save in UTF-8 may put a byte-order mark before the first number.
    if (head.startsWith("\xEF\xBB\xBF"))
        at = 3;
    while (read.found < 16) {
        if (at >= end) {
            read.error = complete ? ColFileRead::Error::TooFew : ColFileRead::Error::TooLong;
            return read;
        }
        while (at < end && isBlank(head[at]))
            ++at;
        const qsizetype start = at;
        while (at < end && head[at] != ',' && !isLineEnd(head[at]))
            ++at;
        if (at == end && !complete) {
            read.error = ColFileRead::Error::TooLong; // the field may go on past what was read
            return read;
        }
        const QByteArrayView field = head.sliced(start, at - start);
        for (const char c : field)
            if (!isText(c)) {
                read.error = ColFileRead::Error::NotText;
                return read;
            }
        // Step over the delimiter; CR LF is one line end.
        if (at < end) {
            if (head[at] == '\r' && at + 1 < end && head[at + 1] == '\n')
                ++at;
            ++at;
        }

        // A number beyond a double's range reads as the largest double: no colour either.
        const double value = roundHalfEven(Val(QString::fromLatin1(field)));
        if (!(value >= 0 && value <= kLargestColour)) {
            read.error = ColFileRead::Error::OutOfRange;
            return read;
        }
        read.colours[std::size_t(read.found)] = Colour(value);
        ++read.found;
    }
    return read;
}

ColFileRead readColFile(const QString& path) {
    const ReadResult file = readBounded(path, kMaxColFileRead);
    if (!file.read) {
        ColFileRead read;
        read.error = ColFileRead::Error::CannotOpen;
        read.cause = file.failure;
        return read;
    }
    return parseColFile(file.read->bytes, file.read->complete);
}

QString describeFailure(const ColFileRead& read, const QString& fileName) {
    // Each message is filled in one pass: a name holding "%2" stays as it is.
    const QString name = u'\u201C' + fileName + u'\u201D';
    QString why;
    switch (read.error) {
    case ColFileRead::Error::None:
        return {};
    case ColFileRead::Error::CannotOpen:
        why = QStringLiteral("Impossibile leggere il file di colori %1: %2.").arg(name, read.cause);
        break;
    case ColFileRead::Error::TooFew:
        why = QStringLiteral("Il file di colori %1 contiene solo %2 valori su 16.")
                  .arg(name, QString::number(read.found));
        break;
    case ColFileRead::Error::OutOfRange:
        why = QStringLiteral("Il file di colori %1 ha un valore non valido al posto del colore %2: "
                             "i colori vanno da 0 a 16777215.")
                  .arg(name, QString::number(read.found + 1));
        break;
    case ColFileRead::Error::NotText:
        why = QStringLiteral("Il file %1 non è un file di colori: non contiene solo testo.")
                  .arg(name);
        break;
    case ColFileRead::Error::TooLong:
        why = QStringLiteral("Il file %1 non è un file di colori: i suoi primi 16 valori non "
                             "finiscono entro i primi %2 KB.")
                  .arg(name, QString::number(kMaxColFileRead / 1024));
        break;
    }
    return why + QStringLiteral(" Nessun colore è stato cambiato.");
}

} // namespace trameda::palette
