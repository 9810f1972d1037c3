#pragma once

// File names are bytes on this system, and need not be UTF-8 (a name written on an older system,
// in Latin-1, holds a lone 0xE8 for "è"). A name is kept in a QString so that it can be shown and
// joined like any text, but a byte that is no part of valid UTF-8 is kept as a code unit of its
// own, U+DC80 + the byte, which no decoded text contains; nameBytes() gives back exactly the bytes
// it came from. Every name from the command line goes through these two on its way to open().

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace trameda {

// A name as the system gave it (argv, a link's target), kept byte for byte.
QString nameFromBytes(QByteArrayView bytes);

// The bytes that name the file on this system: the inverse of nameFromBytes().
QByteArray nameBytes(QStringView name);

// A name (or any text the user typed) as a one-line message shows it: a line break, a tab or
// another control character as \n, \t, \xNN, and a byte that is not UTF-8 as \xNN.
QString shownName(QStringView name);

} // namespace trameda
