#pragma once

#include <optional>
#include <vector>

namespace trameda::document {

// Where things go on the pages of a pattern. Lengths are in millimetres, pages portrait.

enum class Paper { A4, Letter };

struct PaperSize {
    double width;
    double height;
};
PaperSize paperSize(Paper paper);

// Kept clear on every side: home printers print to within 3 to 6 mm of the edges, some need more
// at the bottom.
constexpr double kMargin = 12.0;
// The title, the page line and the small map of the pages above the chart.
constexpr double kHeader = 14.0;
// Round each piece of chart, on all four sides: the stitch numbers and the centre arrows.
constexpr double kGutter = 8.0;
// The side of a cell: the stitcher's choice, within what prints legibly and what still fits a
// useful piece of chart on a page.
constexpr double kSmallestCell = 2.5;
constexpr double kLargestCell = 8.0;
// Unless the stitcher sets it, the cell is about 3.5 mm: within kAboutCell of it, the largest
// that needs no more pages than any other.
constexpr double kDefaultCell = 3.5;
constexpr double kAboutCell = 0.3;
// Neighbouring pages repeat this many columns or rows of each other.
constexpr int kOverlap = 2;

// What one page holds of one axis of the design: cells first .. first + count - 1, counted from
// 0; the first `repeated` of them are the last ones of the page before.
struct Span {
    int first = 0;
    int count = 0;
    int repeated = 0;
    int end() const { return first + count; }
    bool operator==(const Span&) const = default;
};

// Splits `cells` into pages of at most `capacity` cells, each after the first repeating the
// `overlap` before it, in as few pages as can be. Pages begin at a multiple of 10 (the bold
// lines) when that costs no page, and are otherwise of even size.
std::vector<Span> splitAxis(int cells, int capacity, int overlap = kOverlap);

// The stitch numbers written along an edge of a page: every multiple of 10 among the lines the
// page holds (a number names the line after that many stitches).
std::vector<int> numberedLines(const Span& span);

// Where the design's centre line falls on a page, in cells from the page's first cell, when it
// falls on it.
std::optional<double> centreOn(const Span& span, int cells);

// A piece of the design, cut where the pages' room ends: its place in the grid of pieces (from
// the top left), its cells, the page it is printed on and where on that page, in millimetres from
// the top left of the page's chart room to the piece's first cell.
struct Tile {
    int across = 0;
    int down = 0;
    Span columns;
    Span rows;
    int page = 0; // number in the whole document
    double x = 0;
    double y = 0;
};

struct ChartPage {
    int number = 0;         // in the whole document
    std::vector<int> tiles; // indices into ChartPlan::tiles
};

struct ChartPlan {
    double cell = 0;        // side of a cell
    bool landscape = false; // the chart pages turned, when that takes fewer
    int tilesAcross = 0;
    int tilesDown = 0;
    std::vector<Tile> tiles; // row of pieces by row, each from the left
    std::vector<ChartPage> pages;
    // The piece at a place in the grid of pieces.
    const Tile& tile(int across, int down) const {
        return tiles[std::size_t(down * tilesAcross + across)];
    }
};

// The room for chart on a page, below the header and within the margins.
struct ChartArea {
    double width;
    double height;
};
ChartArea chartArea(Paper paper, bool landscape = false);

// The chart pages of a design of `columns` x `rows` cells of side `cell`, numbered from
// `firstNumber`, on pages upright or turned. Each page holds as many cells as fit; a design only
// one piece high has its pieces stacked on a page, and one only a piece wide has them side by side,
// as many as fit, so that no page carries a thin strip alone.
ChartPlan planChart(int columns, int rows, Paper paper, double cell, int firstNumber,
                    bool landscape = false);

// The key: a heading, then a row per thread, as many pages as they need; the last page also
// holds the totals and the notes on thread and skeins.
constexpr double kKeyHeading = 8.0;
constexpr double kKeyRow = 7.0;
constexpr double kKeyNotes = 80.0;
// The rows on each page of a key of `lines` rows: full pages, then a last one with room left
// for the totals and notes (it may hold no rows).
std::vector<int> keyPageRows(int lines, Paper paper);

// The pages of a whole pattern: a cover, the chart pages, the key of `keyLines` rows. A `cell`
// of 0 is chosen about kDefaultCell. The chart pages are turned when that takes fewer of them.
struct DocumentPlan {
    ChartPlan chart;
    int keyPage = 0;          // its first page
    std::vector<int> keyRows; // rows on each key page
    int pageCount = 0;
};
DocumentPlan planDocument(int columns, int rows, Paper paper, double cell, int keyLines);

} // namespace trameda::document
