#include "numbers.h"

#include "runtimeerror.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace trameda {

namespace {

bool skippable(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

double Val(QStringView text) {
    // Gather the characters of the number into plain ASCII, dropping the blanks between them,
    // then convert with from_chars, which ignores the process locale.
    std::string number;
    enum class State { Sign, Integer, Fraction, ExponentSign, Exponent };
    State state = State::Sign;
    bool anyDigit = false;
    bool negativeExponent = false;
    std::string::size_type beforeExponent = 0;

    for (QChar c : text) {
        if (skippable(c))
            continue;
        switch (state) {
        case State::Sign:
            if (c == u'-' || c == u'+') {
                if (c == u'-')
                    number += '-';
                state = State::Integer;
                continue;
            }
            state = State::Integer;
            [[fallthrough]];
        case State::Integer:
            if (isDigit(c)) {
                number += char(c.unicode());
                anyDigit = true;
                continue;
            }
            if (c == u'.') {
                number += '.';
                state = State::Fraction;
                continue;
            }
            break;
        case State::Fraction:
            if (isDigit(c)) {
                number += char(c.unicode());
                anyDigit = true;
                continue;
            }
            break;
        case State::ExponentSign:
            if (c == u'-' || c == u'+') {
                negativeExponent = c == u'-';
                if (negativeExponent)
                    number += '-';
                state = State::Exponent;
                continue;
            }
            state = State::Exponent;
            [[fallthrough]];
        case State::Exponent:
            if (isDigit(c)) {
                number += char(c.unicode());
                beforeExponent = 0; // the exponent has digits: keep it
                continue;
            }
            break;
        }
        // An exponent marker continues the number only after a mantissa.
        if ((state == State::Integer || state == State::Fraction) && anyDigit &&
            (c == u'e' || c == u'E' || c == u'd' || c == u'D')) {
            beforeExponent = number.size();
            number += 'e';
            state = State::ExponentSign;
            continue;
        }
        break;
    }

    if (!anyDigit)
        return 0.0;
    // "1e" or "1e-" with no exponent digits reads as the mantissa alone.
    if (beforeExponent > 0)
        number.resize(beforeExponent);

    double value = 0.0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value untouched: tell an overflow from an underflow. Reading a
        // number never fails, so a huge one stands as the largest double of its sign.
        const bool tiny =
            negativeExponent || number.find_first_of("123456789") == std::string::npos;
        if (tiny)
            return 0.0;
        const double largest = std::numeric_limits<double>::max();
        return number.front() == '-' ? -largest : largest;
    }
    if (ec != std::errc())
        return 0.0;
    (void)ptr;
    return value == 0.0 ? 0.0 : value; // no negative zero
}

QString Str(double value) {
    if (std::isnan(value) || std::isinf(value))
        throw RuntimeError(RuntimeError::Overflow);
    QString digits;
    if (value == std::trunc(value) && std::abs(value) < 1e15)
        digits = QString::number(static_cast<qint64>(value));
    else {
        digits = QString::number(value, 'g', 15);
        digits.replace(u'e', u'E');
    }
    if (value >= 0)
        digits.prepend(u' ');
    return digits;
}

double roundHalfEven(double value) {
    const double down = std::floor(value);
    const double diff = value - down;
    if (diff < 0.5)
        return down;
    if (diff > 0.5)
        return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

template <typename T> static T convert(double value) {
    const double r = roundHalfEven(value);
    if (!(r >= double(std::numeric_limits<T>::min()) && r <= double(std::numeric_limits<T>::max())))
        throw RuntimeError(RuntimeError::Overflow);
    return static_cast<T>(r);
}

std::int16_t toInteger(double value) {
    return convert<std::int16_t>(value);
}

std::int32_t toLong(double value) {
    return convert<std::int32_t>(value);
}

} // namespace trameda
