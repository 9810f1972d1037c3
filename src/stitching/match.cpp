#include "match.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <system_error>
#include <thread>

namespace trameda::stitching {

DistinctColours distinctColours(std::span<const QRgb> colours) {
    DistinctColours d;
    d.colours.reserve(colours.size());
    for (const QRgb c : colours)
        d.colours.push_back(c | 0xFF000000u);
    std::sort(d.colours.begin(), d.colours.end());
    d.colours.erase(std::unique(d.colours.begin(), d.colours.end()), d.colours.end());
    d.weights.assign(d.colours.size(), 0);
    d.of.reserve(colours.size());
    for (const QRgb c : colours) {
        const auto at = std::lower_bound(d.colours.begin(), d.colours.end(), c | 0xFF000000u);
        const int index = int(at - d.colours.begin());
        d.of.push_back(index);
        ++d.weights[std::size_t(index)];
    }
    d.labs = threads::toLab(d.colours);
    return d;
}

namespace {

constexpr double kMostSL = 1.75; // 1 + 0.015 x 50^2 / sqrt(20 + 50^2) = 1.747

// The part of CIEDE2000 (Sharma, Wu and Dalal's notation) that needs no angles. With
// x = dC'/SC and y = dH'/SH the chroma and hue terms are x^2 + y^2 + RT x y, |RT| <= 2 sin 60
// degrees; dH'^2 = 2 (C1' C2' - a1' a2' - b1 b2) needs no angle either, and SH is at most
// 1 + 0.015 C' 1.93 (T's terms at their largest), which bounds y from below.
double lowerBound(const threads::Lab& x, const threads::Lab& y) {
    const double meanL = (x.L + y.L) / 2 - 50;
    const double sl = 1 + 0.015 * meanL * meanL / std::sqrt(20 + meanL * meanL);
    const double c1 = std::sqrt(x.a * x.a + x.b * x.b), c2 = std::sqrt(y.a * y.a + y.b * y.b);
    const double mean = (c1 + c2) / 2;
    const double mean7 = mean * mean * mean * mean * mean * mean * mean;
    const double g = 0.5 * (1 - std::sqrt(mean7 / (mean7 + 6103515625.0)));
    const double a1 = (1 + g) * x.a, a2 = (1 + g) * y.a;
    const double cp1 = std::sqrt(a1 * a1 + x.b * x.b), cp2 = std::sqrt(a2 * a2 + y.b * y.b);
    const double meanCp = (cp1 + cp2) / 2;
    const double sc = 1 + 0.045 * meanCp;
    const double dl = (x.L - y.L) / sl, dc = std::abs(cp2 - cp1) / sc;
    const double dh2 = std::max(0.0, 2 * (cp1 * cp2 - a1 * a2 - x.b * y.b));
    const double dh = std::sqrt(dh2) / (1 + 0.015 * meanCp * 1.93);
    // x^2 + y^2 - sqrt(3) x y is least at y = sqrt(3) x / 2, where it is x^2 / 4.
    constexpr double kRoot3 = 1.7320508075688772;
    const double rest = dh >= kRoot3 / 2 * dc ? dc * dc + dh * dh - kRoot3 * dc * dh : dc * dc / 4;
    return std::sqrt(dl * dl + std::max(0.0, rest));
}

} // namespace

int nearestCandidate(const threads::Lab& colour, std::span<const threads::Lab> candidates,
                     const std::vector<bool>* excluded) {
    // CIEDE2000 is (dL/SL)^2 + (dC/SC)^2 + (dH/SH)^2 + RT (dC/SC) (dH/SH) under a root, with
    // |RT| at most 2 sin 60 degrees; whatever the hue term, the sum is then at least
    // (dL/SL)^2 + (dC/SC)^2 / 4, which takes no angles to compute. The full formula is weighed
    // only where that bound does not already rule the candidate out, starting with the nearest
    // by plain distance, which is usually the nearest or close to it.
    int best = -1;
    double bestDifference = 0;
    double bestPlain = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (excluded && (*excluded)[i])
            continue;
        const double dl = colour.L - candidates[i].L, da = colour.a - candidates[i].a,
                     db = colour.b - candidates[i].b;
        const double plain = dl * dl + da * da + db * db;
        if (best < 0 || plain < bestPlain) {
            best = int(i);
            bestPlain = plain;
        }
    }
    if (best < 0)
        return best;
    bestDifference = threads::ciede2000(colour, candidates[std::size_t(best)]);
    const int first = best;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if ((excluded && (*excluded)[i]) || int(i) == first)
            continue;
        // SL is at most 1.75: most candidates are ruled out on lightness alone.
        const double limit = bestDifference * (1 + 1e-9) + 1e-12;
        if (std::abs(colour.L - candidates[i].L) > kMostSL * limit ||
            lowerBound(colour, candidates[i]) > limit)
            continue;
        const double d = threads::ciede2000(colour, candidates[i]);
        if (d < bestDifference || (d == bestDifference && int(i) < best)) {
            best = int(i);
            bestDifference = d;
        }
    }
    return best;
}

std::vector<int> nearestCandidates(std::span<const threads::Lab> colours,
                                   std::span<const threads::Lab> candidates) {
    std::vector<int> nearest(colours.size());
    // Many colours are shared out between the processors; each worker writes its own part.
    const auto work = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            nearest[i] = nearestCandidate(colours[i], candidates);
    };
    constexpr std::size_t kWorthSharing = 4096;
    const std::size_t workers =
        colours.size() < kWorthSharing ? 1 : std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    std::vector<std::thread> helpers;
    helpers.reserve(workers); // so that adding a started thread never fails
    const std::size_t part = (colours.size() + workers - 1) / workers;
    const auto from = [&](std::size_t w) { return std::min(colours.size(), w * part); };
    std::size_t shared = 1;
    try {
        for (; shared < workers; ++shared)
            helpers.emplace_back(work, from(shared), from(shared + 1));
    } catch (const std::system_error&) {
        // No thread to be had: the parts left are done here.
    }
    work(0, from(1));
    for (std::size_t w = shared; w < workers; ++w)
        work(from(w), from(w + 1));
    for (std::thread& h : helpers)
        h.join();
    return nearest;
}

} // namespace trameda::stitching
