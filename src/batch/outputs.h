#pragma once

// The command line's files: which a request names, the checks that keep outputs apart from
// inputs and each other, and one writer per output, each all or nothing.

#include "files/safewrite.h"
#include "options.h"

#include <QImage>
#include <QString>
#include <optional>
#include <vector>

class QTextStream;

namespace trameda::batch {

// Every file a request names, read or written. An output added to the command line is one more
// line in namedFiles(), and is then kept apart from the others and checked before anything is
// read.
struct NamedFile {
    QString option;
    QString path; // empty when not asked for
    bool output;
};
std::vector<NamedFile> namedFiles(const ChartRequest& request);

// An output that is also an input, or another output, under any name or link.
std::optional<QString> sharedFile(const ChartRequest& request);

// The first output that can never be written, as the message that says so.
std::optional<QString> unwritableOutput(const ChartRequest& request);

// "trameda: impossibile scrivere PATH: WHY"
QString cannotWrite(const QString& path, const QString& why);

// Says `failure`, if there is one, on `err` as the program's own line; false when it did.
bool reported(const Failure& failure, QTextStream& err);

// Writes the chart surface to `path` all or nothing; false after saying why on `err`.
bool writePng(const QString& path, const QImage& chart, QTextStream& err);

} // namespace trameda::batch
