#pragma once

// Plain arithmetic: safe from any thread.

namespace trameda::threads {

// How much thread a number of full crosses takes, and how many skeins that is.
//
// A full cross on fabric of `fabric` stitches per inch covers a square of side s = 25.4 mm /
// fabric: the two diagonals on the front take 2 x 1.414 s, and the needle travels about two
// sides of the square on the back, 2 s, so one cross takes (2 x 1.414 + 2) s = 4.83 s of the
// working thread (8.8 mm at 14). Half as much again is added for starting and ending threads
// and for crossing the back between stitches. The working thread is `strands` strands of a skein
// of 6 strands, each 8 m long, so one skein gives 8 m x 6 / strands of it (24 m at 2 strands),
// and the skeins needed are rounded up.
struct ThreadNeed {
    double metres = 0; // of the working thread, `strands` strands thick
    int skeins = 0;
};

constexpr double kSkeinMetres = 8.0;
constexpr int kSkeinStrands = 6;
constexpr double kWasteMargin = 0.5;

// Working thread for one full cross, in metres, waste included.
double metresPerCross(int fabric);

ThreadNeed threadNeed(long long stitches, int fabric, int strands);

// Working thread one skein gives, in metres, `strands` strands thick.
double metresPerSkein(int strands);

// Skeins for a length of working thread `strands` strands thick, rounded up.
int skeinsFor(double metres, int strands);

} // namespace trameda::threads
