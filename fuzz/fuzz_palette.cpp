// The palette file reader on arbitrary bytes: sixteen colours or a refusal with its message,
// never a crash, and never a colour outside what a swatch can hold.
#include "palette/colfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const bool complete : {true, false}) {
        const trameda::palette::ColFileRead read = trameda::palette::parseColFile(bytes, complete);
        if (read.ok()) {
            for (trameda::Colour c : read.colours)
                if (c < 0 || c > 0xFFFFFF)
                    std::abort();
            // What was read writes back to a file that reads the same.
            const auto again =
                trameda::palette::parseColFile(trameda::palette::writeColFile(read.colours));
            if (!again.ok() || again.colours != read.colours)
                std::abort();
        } else if (trameda::palette::describeFailure(read, QStringLiteral("x.col")).isEmpty()) {
            std::abort();
        }
    }
    return 0;
}
