#include "match.h"

#include <algorithm>
#include <array>
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

int nearestCandidate(const threads::Lab& colour, std::span<const threads::Lab> candidates,
                     const std::vector<bool>* excluded) {
    // The candidates nearest by plain distance, then weighed by CIEDE2000.
    std::array<std::pair<double, std::size_t>, kWeighed> near;
    std::size_t count = 0;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (excluded && (*excluded)[i])
            continue;
        const double dl = colour.L - candidates[i].L, da = colour.a - candidates[i].a,
                     db = colour.b - candidates[i].b;
        const std::pair<double, std::size_t> item{dl * dl + da * da + db * db, i};
        if (count < kWeighed) {
            near[count++] = item;
            std::push_heap(near.begin(), near.begin() + std::ptrdiff_t(count));
        } else if (item < near.front()) {
            std::pop_heap(near.begin(), near.end());
            near.back() = item;
            std::push_heap(near.begin(), near.end());
        }
    }
    int best = -1;
    double bestDifference = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const double d = threads::ciede2000(colour, candidates[near[k].second]);
        if (best < 0 || d < bestDifference ||
            (d == bestDifference && int(near[k].second) < best)) {
            best = int(near[k].second);
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
    const std::size_t part = (colours.size() + workers - 1) / workers;
    for (std::size_t w = 1; w < workers; ++w)
        helpers.emplace_back(work, std::min(colours.size(), w * part),
                             std::min(colours.size(), (w + 1) * part));
    work(0, std::min(colours.size(), part));
    for (std::thread& h : helpers)
        h.join();
    return nearest;
}

} // namespace trameda::stitching
