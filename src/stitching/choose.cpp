#include "choose.h"

#include "match.h"
#include "threads/threadtable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <numeric>

namespace trameda::stitching {

namespace {

using threads::Lab;

// Lloyd's iterations from the seeds, and from the threads in each later round: each round starts
// near where the last ended, so few are needed.
constexpr int kFirstIterations = 20;
constexpr int kLaterIterations = 6;
constexpr double kSettled = 0.1;

double squaredDistance(const Lab& x, const Lab& y) {
    const double dl = x.L - y.L, da = x.a - y.a, db = x.b - y.b;
    return dl * dl + da * da + db * db;
}

// A small generator of our own, so that the seeding is the same with every standard library.
class SplitMix {
public:
    explicit SplitMix(std::uint64_t seed) : m_state(seed) {}
    double unit() { // [0, 1)
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return double(z >> 11) * 0x1.0p-53;
    }

private:
    std::uint64_t m_state;
};

// Colours gathered into small boxes of CIELAB (3 units a side, about what an eye tells apart between
// neighbouring stitches), each with the weighted mean of its colours: the clustering then costs the same for a
// photo of a million colours as for one of a thousand.
struct Points {
    std::vector<Lab> labs;
    std::vector<double> weights;
};

Points gather(std::span<const Lab> labs, std::span<const long long> weights) {
    constexpr double kBox = 3.0;
    std::map<std::tuple<int, int, int>, std::size_t> boxes;
    Points points;
    std::vector<Lab> sums;
    for (std::size_t i = 0; i < labs.size(); ++i) {
        const Lab& c = labs[i];
        const auto key = std::make_tuple(int(std::floor(c.L / kBox)), int(std::floor(c.a / kBox)),
                                         int(std::floor(c.b / kBox)));
        const auto [at, added] = boxes.emplace(key, sums.size());
        if (added) {
            sums.push_back({});
            points.weights.push_back(0);
        }
        const double w = double(weights[i]);
        Lab& s = sums[at->second];
        s.L += w * c.L;
        s.a += w * c.a;
        s.b += w * c.b;
        points.weights[at->second] += w;
    }
    points.labs.reserve(sums.size());
    for (std::size_t i = 0; i < sums.size(); ++i) {
        const double w = points.weights[i];
        points.labs.push_back({sums[i].L / w, sums[i].a / w, sums[i].b / w});
    }
    return points;
}

// k-means++: the first centre the heaviest point, each next one drawn with odds in proportion
// to the weight times the squared distance to the nearest centre so far.
std::vector<Lab> seed(const Points& points, int count) {
    std::vector<Lab> centres;
    const auto heaviest = std::max_element(points.weights.begin(), points.weights.end());
    centres.push_back(points.labs[std::size_t(heaviest - points.weights.begin())]);
    std::vector<double> nearest(points.labs.size());
    for (std::size_t i = 0; i < points.labs.size(); ++i)
        nearest[i] = squaredDistance(points.labs[i], centres.back());
    SplitMix random(0x7472616D656461ull);
    while (int(centres.size()) < count) {
        double total = 0;
        for (std::size_t i = 0; i < nearest.size(); ++i)
            total += points.weights[i] * nearest[i];
        if (total <= 0)
            break; // every point already is a centre
        double target = random.unit() * total;
        std::size_t chosen = 0;
        for (std::size_t i = 0; i < nearest.size(); ++i) {
            const double share = points.weights[i] * nearest[i];
            if (share > 0) {
                chosen = i;
                if (target < share)
                    break;
                target -= share;
            }
        }
        centres.push_back(points.labs[chosen]);
        for (std::size_t i = 0; i < points.labs.size(); ++i)
            nearest[i] = std::min(nearest[i], squaredDistance(points.labs[i], centres.back()));
    }
    return centres;
}

// Lloyd's iterations from `centres`; returns each centre's weight. A centre left without points
// stays where it is. The points are read as floats, side by side, which the compiler vectorises.
std::vector<double> refine(const Points& points, std::vector<Lab>& centres, int rounds) {
    const std::size_t n = points.labs.size();
    std::vector<float> L(n), A(n), B(n);
    for (std::size_t i = 0; i < n; ++i) {
        L[i] = float(points.labs[i].L);
        A[i] = float(points.labs[i].a);
        B[i] = float(points.labs[i].b);
    }
    std::vector<int> owner(n, -1);
    std::vector<float> best(n);
    std::vector<int> bestCentre(n);
    std::vector<double> mass(centres.size());
    for (int round = 0; round < rounds; ++round) {
        std::fill(best.begin(), best.end(), std::numeric_limits<float>::max());
        for (std::size_t c = 0; c < centres.size(); ++c) {
            const float cl = float(centres[c].L), ca = float(centres[c].a),
                        cb = float(centres[c].b);
            const int index = int(c);
            for (std::size_t i = 0; i < n; ++i) {
                const float dl = L[i] - cl, da = A[i] - ca, db = B[i] - cb;
                const float d = dl * dl + da * da + db * db;
                const bool nearer = d < best[i];
                best[i] = nearer ? d : best[i];
                bestCentre[i] = nearer ? index : bestCentre[i];
            }
        }
        const bool changed = owner != bestCentre;
        owner = bestCentre;
        std::vector<Lab> sums(centres.size());
        std::fill(mass.begin(), mass.end(), 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            const double w = points.weights[i];
            Lab& s = sums[std::size_t(owner[i])];
            s.L += w * points.labs[i].L;
            s.a += w * points.labs[i].a;
            s.b += w * points.labs[i].b;
            mass[std::size_t(owner[i])] += w;
        }
        double moved = 0;
        for (std::size_t c = 0; c < centres.size(); ++c)
            if (mass[c] > 0) {
                const Lab next{sums[c].L / mass[c], sums[c].a / mass[c], sums[c].b / mass[c]};
                moved = std::max(moved, squaredDistance(next, centres[c]));
                centres[c] = next;
            }
        // Settled: no point changed its centre, or none moved by a tenth of what an eye sees.
        if (!changed || moved < kSettled * kSettled)
            break;
    }
    return mass;
}

// Each centre, the heaviest first, takes its nearest thread that no other has taken.
std::vector<int> snap(const std::vector<Lab>& centres, const std::vector<double>& mass,
                      std::span<const Lab> labs) {
    std::vector<std::size_t> order(centres.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return mass[x] > mass[y]; });
    std::vector<bool> taken(labs.size(), false);
    std::vector<int> threads(centres.size(), -1);
    for (const std::size_t c : order) {
        const int best = nearestCandidate(centres[c], labs, &taken);
        if (best >= 0) {
            taken[std::size_t(best)] = true;
            threads[c] = best;
        }
    }
    return threads;
}

} // namespace

std::vector<int> chooseThreads(std::span<const Lab> labs, std::span<const long long> weights,
                               const threads::ThreadTable& table, int count) {
    if (labs.empty() || count <= 0)
        return {};
    const Points points = gather(labs, weights);
    count = std::min({count, int(points.labs.size()), int(table.threads().size())});
    std::vector<Lab> threadLabs;
    for (const threads::Thread& t : table.threads())
        threadLabs.push_back(t.lab);
    std::vector<Lab> centres = seed(points, count);
    std::vector<double> mass = refine(points, centres, kFirstIterations);
    std::vector<int> chosen = snap(centres, mass, threadLabs);

    // Around the threads again, until they settle (a few rounds; a cycle ends at the last).
    constexpr int kRounds = 8;
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t c = 0; c < centres.size(); ++c)
            centres[c] = table.at(chosen[c]).lab;
        mass = refine(points, centres, kLaterIterations);
        std::vector<int> again = snap(centres, mass, threadLabs);
        std::vector<int> before = chosen, after = again;
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        chosen = std::move(again);
        if (before == after)
            break;
    }
    chosen.erase(std::remove(chosen.begin(), chosen.end(), -1), chosen.end());
    return chosen;
}

} // namespace trameda::stitching
