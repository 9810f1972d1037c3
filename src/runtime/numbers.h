#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

namespace trameda {

// The number at the start of a text: an optional sign, digits with an optional "." and an
// optional exponent (E or D). Spaces, tabs and line feeds are skipped wherever they stand;
// reading stops at the first character that cannot continue the number; no number gives 0.
// Never fails: a magnitude beyond a double's range reads as the largest double of that sign.
double Val(QStringView text);

// Decimal text of a number, "." as decimal point whatever the locale, with a leading space when
// the number is not negative ("Str(8)" is " 8", "Str(-3)" is "-3", "Str(2.5)" is " 2.5").
QString Str(double value);

// Rounds to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Conversions to the toolkit's 16-bit Integer and 32-bit Long: round half to even, and throw
// RuntimeError(Overflow) when the result does not fit.
std::int16_t toInteger(double value);
std::int32_t toLong(double value);

} // namespace trameda
