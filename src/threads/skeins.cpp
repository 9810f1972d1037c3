#include "skeins.h"

#include <cmath>

namespace trameda::threads {

// The sums are done in whole thousandths, hundredths and tenths, rounded half up as by hand, so
// that no binary fraction tips a printed digit.
Reckoning reckoning(int fabric, int over, int strands, int margin) {
    // 25.4 mm x over / fabric in thousandths of a millimetre.
    const long long side = (25400LL * over * 2 + fabric) / (2LL * fabric);
    const long long cross = (4828 * side + 5000) / 10000; // hundredths
    const long long perStitch = (cross * 3 + 1) / 2;      // hundredths
    return {side / 1000.0,           cross / 100.0, perStitch / 100.0,
            metresPerSkein(strands), strands,       margin};
}

double metresPerSkein(int strands) {
    return kSkeinMetres * kSkeinStrands / strands;
}

ThreadNeed threadNeed(long long stitches, const Reckoning& reckoning) {
    const auto perStitch = std::llround(reckoning.perStitch * 100); // hundredths of a mm
    const double metres = double((stitches * perStitch + 5000) / 10000) / 10;
    return {metres, stitches > 0 ? std::max(1, skeinsFor(metres, reckoning)) : 0};
}

int skeinsFor(double metres, const Reckoning& reckoning) {
    // metres x (100 + margin) / 100 / (8 m x 6 / strands), rounded up, in tenths of a metre.
    const long long tenths = std::llround(metres * 10);
    const long long perSkein = 10LL * kSkeinStrands * std::llround(kSkeinMetres) * 100;
    const long long need = tenths * (100 + reckoning.margin) * reckoning.strands;
    return int((need + perSkein - 1) / perSkein);
}

} // namespace trameda::threads
