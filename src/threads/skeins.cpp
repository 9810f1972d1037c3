#include "skeins.h"

#include <cmath>

namespace trameda::threads {

double metresPerCross(int fabric) {
    const double side = 0.0254 / fabric;
    return (2.0 * std::sqrt(2.0) + 2.0) * side * (1.0 + kWasteMargin);
}

double metresPerSkein(int strands) {
    return kSkeinMetres * kSkeinStrands / strands;
}

int skeinsFor(double metres, int strands) {
    const double skeins = metres / metresPerSkein(strands);
    // A length that is a whole number of skeins in exact arithmetic must not round up to one
    // more.
    return int(std::ceil(skeins - 1e-9));
}

ThreadNeed threadNeed(long long stitches, int fabric, int strands) {
    const double metres = double(stitches) * metresPerCross(fabric);
    return {metres, skeinsFor(metres, strands)};
}

} // namespace trameda::threads
