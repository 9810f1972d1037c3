#pragma once

#include "runtime/colour.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>

namespace trameda::palette {

using Colours = std::array<Colour, 16>;

// A palette file: one line per swatch, " 255 \r\n" (a minus in place of the first blank for a
// negative value), nothing else.
QByteArray writeColFile(const Colours& colours);

struct ColFileRead {
    enum class Error {
        None,
        CannotOpen, // missing, unreadable, or not a plain file
        TooFew,     // fewer than 16 fields
        OutOfRange, // a field whose number is not a colour (0 to 16777215)
        NotText,    // control characters other than tab, line feed and carriage return
        TooLong,    // the 16 fields do not end within the first kMaxColFileRead bytes
    };
    Error error = Error::None;
    Colours colours{};
    int found = 0; // fields read before the error; the failing field is found + 1
    QString cause; // why a file could not be read (CannotOpen): "file non trovato" ...

    bool ok() const { return error == Error::None; }
};

// No palette needs more than a few hundred bytes; a reader never looks further than this.
constexpr qsizetype kMaxColFileRead = 64 * 1024;

// Reads the first 16 fields of `head`, the start of a file: a field ends at a comma or a line
// end (CR LF, CR or LF), leading blanks are skipped, and the field's value is its leading number,
// halves rounded to even; a field without a number is black. `complete` tells whether `head`
// is the whole file, so that a field reaching its end is finished.
ColFileRead parseColFile(QByteArrayView head, bool complete = true);

// Reads the palette file at `path`, looking at no more than kMaxColFileRead bytes.
ColFileRead readColFile(const QString& path);

// The message for a failed read, in the user's words, naming the file.
QString describeFailure(const ColFileRead& read, const QString& fileName);

} // namespace trameda::palette
