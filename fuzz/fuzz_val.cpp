// Val on any text: it must give a finite number without failing, and Str must write back any
// number it gives.
#include "runtime/numbers.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    // Anything thrown escapes and counts as a crash.
    const double value = trameda::Val(text);
    if (!std::isfinite(value))
        std::abort();
    const QString written = trameda::Str(value);
    if (written.isEmpty())
        std::abort();
    // Writing and reading back keeps the number to the 15 digits that are written.
    const double again = trameda::Val(written);
    if (value != 0 && std::abs(again - value) > std::abs(value) * 1e-14)
        std::abort();
    return 0;
}
