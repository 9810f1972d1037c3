#pragma once

// Plain arithmetic: safe from any thread.

namespace trameda::threads {

// How much thread a number of full crosses takes, and how many skeins that is.
//
// A full cross on fabric of n stitches per inch covers a square of side s = 25.4 mm / n: the two
// diagonals on the front take 2 x 1.414 s, and the needle travels about two sides of the square
// on the back, 2 s, so one cross takes (2 x 1.414 + 2) s = 4.828 s of the working thread. Half as
// much again is added for starting and ending threads and for crossing the back between
// stitches. The working thread is `strands` strands of a skein of 6 strands, each 8 m long, so one
// skein gives 8 m x 6 / strands of it (24 m at 2 strands). Stitchers buy a margin more for
// mistakes and unpicking, and the skeins needed are rounded up.
//
// Each step is rounded as the key prints it, so that the sums redone by hand from the printed
// figures give the printed result to the digit.
struct ThreadNeed {
    double metres = 0; // of the working thread, `strands` strands thick
    int skeins = 0;
};

constexpr double kSkeinMetres = 8.0;
constexpr int kSkeinStrands = 6;

struct Reckoning {
    double side = 0;      // of a stitch, mm, to 3 decimals
    double cross = 0;     // thread on the front and back of one cross, mm: 4.828 x side, to 2
    double perStitch = 0; // mm: cross x 1.5, to 2
    double perSkein = 0;  // metres of working thread in a skein
    int strands = 2;
    int margin = 0; // per cent
};

// The reckoning on a cloth of `fabric` threads (or Aida squares) per inch, stitched over `over`
// of them, with `strands` in the needle and `margin` per cent added for skeins.
Reckoning reckoning(int fabric, int over, int strands, int margin);

// Working thread one skein gives, in metres, `strands` strands thick.
double metresPerSkein(int strands);

// Metres of working thread for `stitches`, to 0.1 m, and the skeins for them: at least one for
// any stitch at all.
ThreadNeed threadNeed(long long stitches, const Reckoning& reckoning);

// Skeins for `metres` (to 0.1 m), the margin included, rounded up.
int skeinsFor(double metres, const Reckoning& reckoning);

} // namespace trameda::threads
