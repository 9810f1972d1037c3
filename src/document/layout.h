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
// The title and page line above the chart.
constexpr double kHeader = 12.0;
// Round the chart: stitch numbers and the centre arrows above and to the left, the arrows alone
// below and to the right.
constexpr double kGutterBefore = 9.0;
constexpr double kGutterAfter = 4.0;
// Cells are made as large as they can be without adding pages to what they need at the smallest.
constexpr double kSmallestCell = 3.0;
constexpr double kLargestCell = 6.0;
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

struct ChartPage {
    int number = 0; // in the whole document
    int across = 0; // place in the map of pages, from the top left
    int down = 0;
    Span columns;
    Span rows;
};

struct ChartPlan {
    double cell = 0; // side of a cell
    int pagesAcross = 0;
    int pagesDown = 0;
    std::vector<ChartPage> pages; // row of pages by row of pages, each from the left
    // The page at a place in the map.
    const ChartPage& page(int across, int down) const {
        return pages[std::size_t(down * pagesAcross + across)];
    }
};

// The room a chart has on a page.
struct ChartArea {
    double width;
    double height;
};
ChartArea chartArea(Paper paper);

// The chart pages of a design of `columns` x `rows` cells, numbered from `firstNumber`.
ChartPlan planChart(int columns, int rows, Paper paper, int firstNumber);

// The pages of a whole pattern: a cover, the chart pages, the key.
struct DocumentPlan {
    ChartPlan chart;
    int keyPage = 0;
    int pageCount = 0;
};
DocumentPlan planDocument(int columns, int rows, Paper paper);

} // namespace trameda::document
