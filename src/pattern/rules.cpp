#include "rules.h"

#include "runtime/numbers.h"
#include "runtime/runtimeerror.h"

#include <algorithm>

namespace trameda::pattern {

int cellStep(int stitches) {
    if (stitches == 0)
        throw RuntimeError(RuntimeError::DivisionByZero);
    return 200 / stitches;
}

int gridCount(int step) {
    return 200 / step + 1;
}

int cellsOnPicture(int step) {
    return 199 / step + 1;
}

int lato(int passox, int passoy) {
    return passox > passoy ? passoy : passox;
}

void checkEntry(int index) {
    if (index < 0 || index > 20)
        throw RuntimeError(RuntimeError::SubscriptOutOfRange);
}

int nearestEntry(const Components& sample, double n, const ColourTables& tables) {
    int scelto = -1;
    double dmin = 3.0 * 256.0 * 256.0 * 256.0 * 256.0 * 256.0 * 256.0;
    for (int i = 0; i <= n - 1; ++i) {
        checkEntry(i);
        const auto at = static_cast<std::size_t>(i);
        const double db = sample.blue - tables.blu[at];
        const double dg = sample.green - tables.verde[at];
        const double dr = sample.red - tables.rosso[at];
        const double d = db * db + dg * dg + dr * dr;
        if (d < dmin) {
            scelto = i;
            dmin = d;
        }
    }
    return scelto;
}

Colour contrastColour(const ColourTables& tables, int scelto) {
    const auto at = static_cast<std::size_t>(scelto);
    const double brightness = (tables.rosso[at] + tables.verde[at] + tables.blu[at]) / 3.0;
    return brightness > 128 ? QBColor(0) : QBColor(15);
}

int screenStrokeWidth(int passox) {
    const double spessore = std::clamp(passox / 4.0, 1.0, 10.0);
    return int(roundHalfEven(1.5 * spessore));
}

int printerStrokeWidth(int passox) {
    const double spessore = std::clamp(passox * 7.0 / 4.0, 1.0, 10.0);
    return int(roundHalfEven(spessore));
}

PageScale printerPageScale(int across, int down) {
    PageScale scale{201, 351};
    const double rapporto = double(across) / double(down);
    if (rapporto > 1)
        scale.height = float(351 * rapporto);
    if (rapporto < 1)
        scale.width = float(201 / rapporto);
    return scale;
}

QString letterFor(int scelto) {
    return QString(QChar(65 + scelto));
}

} // namespace trameda::pattern
