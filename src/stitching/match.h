#pragma once

// Colours matched to candidates by CIEDE2000, the colour science done once per distinct colour:
// a pattern has hundreds of thousands of stitches but far fewer colours. Plain functions on plain
// data, safe on any thread.

#include "threads/colourdifference.h"

#include <QRgb>
#include <span>
#include <vector>

namespace trameda::stitching {

// Colours reduced to their distinct values.
struct DistinctColours {
    std::vector<QRgb> colours;      // distinct, in increasing order
    std::vector<threads::Lab> labs; // of `colours`
    std::vector<long long> weights; // how many times each appears
    std::vector<int> of;            // for each colour given, its distinct colour
};
DistinctColours distinctColours(std::span<const QRgb> colours);

// For each colour, the nearest candidate by CIEDE2000; on equal differences the earlier one.
// No candidates: -1. CIEDE2000 costs about 40 times the plain distance in CIELAB, so a
// candidate that a lower bound of the difference already rules out is not weighed.
std::vector<int> nearestCandidates(std::span<const threads::Lab> colours,
                                   std::span<const threads::Lab> candidates);
// The same for one colour, among the candidates not `excluded` (when given, one flag each).
int nearestCandidate(const threads::Lab& colour, std::span<const threads::Lab> candidates,
                     const std::vector<bool>* excluded = nullptr);

} // namespace trameda::stitching
