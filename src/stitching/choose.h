#pragma once

// Threads chosen for a picture. A plain function on plain data, safe on any thread.

#include "threads/colourdifference.h"

#include <span>
#include <vector>

namespace trameda::threads {
class ThreadTable;
}

namespace trameda::stitching {

// Up to `count` threads of `table` (rows, in no particular order) that best render colours
// `labs`, each appearing `weights` times: the colours are clustered in CIELAB (k-means, seeded
// by k-means++ from a fixed seed), each cluster's centre takes its nearest thread not yet taken
// by a larger cluster (CIEDE2000), the colours are clustered again around those threads, and so
// on until the threads no longer change. Fewer threads when there are fewer distinct colours.
// The same colours always give the same threads.
std::vector<int> chooseThreads(std::span<const threads::Lab> labs,
                               std::span<const long long> weights, const threads::ThreadTable& table,
                               int count);

} // namespace trameda::stitching
