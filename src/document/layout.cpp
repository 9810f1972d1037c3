#include "layout.h"

#include <algorithm>
#include <cmath>

namespace trameda::document {

PaperSize paperSize(Paper paper) {
    return paper == Paper::Letter ? PaperSize{215.9, 279.4} : PaperSize{210.0, 297.0};
}

ChartArea chartArea(Paper paper, bool landscape) {
    const PaperSize upright = paperSize(paper);
    const PaperSize size = landscape ? PaperSize{upright.height, upright.width} : upright;
    return {size.width - 2 * kMargin, size.height - 2 * kMargin - kHeader};
}

namespace {

// Pages whose own cells (those not repeated from the page before) are `first` on the first page
// and `later` on the others.
std::vector<Span> pagesOf(int cells, int first, int later, int overlap) {
    std::vector<Span> spans{{0, std::min(first, cells), 0}};
    while (spans.back().end() < cells) {
        const int start = spans.back().end();
        spans.push_back({start - overlap, std::min(later, cells - start) + overlap, overlap});
    }
    return spans;
}

int roundDownToTen(int n) {
    return n / 10 * 10;
}

} // namespace

std::vector<Span> splitAxis(int cells, int capacity, int overlap) {
    if (cells <= 0)
        return {};
    if (cells <= capacity)
        return {{0, cells, 0}};

    const int later = capacity - overlap;
    const int pages = 1 + (cells - capacity + later - 1) / later;

    if (roundDownToTen(later) >= 10) {
        std::vector<Span> aligned =
            pagesOf(cells, roundDownToTen(capacity), roundDownToTen(later), overlap);
        if (int(aligned.size()) == pages)
            return aligned;
    }

    // Even pages: the cells on all pages together, repeats included, shared out.
    const int total = cells + overlap * (pages - 1);
    std::vector<Span> spans;
    int start = 0;
    for (int i = 0; i < pages; ++i) {
        const int width = total / pages + (i < total % pages ? 1 : 0);
        const int repeated = i == 0 ? 0 : overlap;
        spans.push_back({start - repeated, width, repeated});
        start = spans.back().end();
    }
    return spans;
}

std::vector<int> numberedLines(const Span& span) {
    std::vector<int> lines;
    for (int line = (span.first + 9) / 10 * 10; line <= span.end(); line += 10)
        if (line > 0)
            lines.push_back(line);
    return lines;
}

std::optional<double> centreOn(const Span& span, int cells) {
    const double centre = cells / 2.0;
    if (centre < span.first || centre > span.end())
        return std::nullopt;
    return centre - span.first;
}

namespace {

// Cells of side `cell` that fit `room` with a gutter on either side; a hair of tolerance, so that
// cells that fit exactly are not lost to rounding.
int cellsIn(double room, double cell) {
    return std::max(1, int(std::floor((room - 2 * kGutter) / cell + 1e-9)));
}

// How many pieces of `size` (gutters included) fit `room` side by side.
int piecesIn(double room, double size) {
    return std::max(1, int(std::floor(room / size + 1e-9)));
}

} // namespace

ChartPlan planChart(int columns, int rows, Paper paper, double cell, int firstNumber,
                    bool landscape) {
    const ChartArea area = chartArea(paper, landscape);
    const std::vector<Span> across = splitAxis(columns, cellsIn(area.width, cell));
    const std::vector<Span> down = splitAxis(rows, cellsIn(area.height, cell));

    ChartPlan plan;
    plan.cell = cell;
    plan.landscape = landscape;
    plan.tilesAcross = int(across.size());
    plan.tilesDown = int(down.size());
    for (int d = 0; d < plan.tilesDown; ++d)
        for (int a = 0; a < plan.tilesAcross; ++a)
            plan.tiles.push_back({a, d, across[std::size_t(a)], down[std::size_t(d)]});
    if (plan.tiles.empty())
        return plan;

    // The largest piece, gutters included, decides how many share a page.
    double widest = 0;
    double tallest = 0;
    for (const Tile& tile : plan.tiles) {
        widest = std::max(widest, tile.columns.count * cell + 2 * kGutter);
        tallest = std::max(tallest, tile.rows.count * cell + 2 * kGutter);
    }
    // A design one piece high is read in strips one under the other, one a piece wide in
    // columns side by side; otherwise each piece has its page.
    const bool stacked = plan.tilesDown == 1 && plan.tilesAcross > 1;
    const bool sideBySide = plan.tilesAcross == 1 && plan.tilesDown > 1;
    const int perPage = stacked      ? piecesIn(area.height, tallest)
                        : sideBySide ? piecesIn(area.width, widest)
                                     : 1;
    // The pieces of a page are centred as a group across, and set from the top.
    for (std::size_t first = 0; first < plan.tiles.size(); first += std::size_t(perPage)) {
        ChartPage page{firstNumber + int(plan.pages.size()), {}};
        const std::size_t last = std::min(plan.tiles.size(), first + std::size_t(perPage));
        double groupWidth = 0;
        for (std::size_t i = first; i < last; ++i) {
            const Tile& tile = plan.tiles[i];
            const double width = tile.columns.count * cell + 2 * kGutter;
            groupWidth = sideBySide ? groupWidth + width : std::max(groupWidth, width);
        }
        double x = (area.width - groupWidth) / 2;
        double y = 0;
        for (std::size_t i = first; i < last; ++i) {
            Tile& tile = plan.tiles[i];
            const double width = tile.columns.count * cell + 2 * kGutter;
            tile.page = page.number;
            tile.x = (sideBySide ? x : (area.width - width) / 2) + kGutter;
            tile.y = y + kGutter;
            if (sideBySide)
                x += width;
            else
                y += tile.rows.count * cell + 2 * kGutter;
            page.tiles.push_back(int(i));
        }
        plan.pages.push_back(std::move(page));
    }
    return plan;
}

std::vector<int> keyPageRows(int lines, Paper paper) {
    const double room = chartArea(paper).height - kKeyHeading;
    const int perPage = int(room / kKeyRow);
    const int withNotes = int((room - kKeyNotes) / kKeyRow);
    std::vector<int> pages;
    int left = lines;
    while (left > withNotes) {
        pages.push_back(std::min(left, perPage));
        left -= pages.back();
    }
    pages.push_back(left);
    return pages;
}

DocumentPlan planDocument(int columns, int rows, Paper paper, double cell, int keyLines) {
    DocumentPlan plan;
    // Cells from the largest down, a smaller one only when it saves a page; upright pages
    // before turned ones, turned only when that saves a page.
    std::vector<double> cells{cell};
    if (cell <= 0) {
        cells.clear();
        const int largest = int(std::lround((kDefaultCell + kAboutCell) * 10));
        const int smallest = int(std::lround((kDefaultCell - kAboutCell) * 10));
        for (int tenths = largest; tenths >= smallest; --tenths)
            cells.push_back(tenths / 10.0);
    }
    for (const bool landscape : {false, true})
        for (const double side : cells) {
            ChartPlan candidate = planChart(columns, rows, paper, side, 2, landscape);
            if (plan.chart.pages.empty() || candidate.pages.size() < plan.chart.pages.size())
                plan.chart = std::move(candidate);
        }
    plan.keyPage = 2 + int(plan.chart.pages.size());
    plan.keyRows = keyPageRows(keyLines, paper);
    plan.pageCount = plan.keyPage + int(plan.keyRows.size()) - 1;
    return plan;
}

} // namespace trameda::document
