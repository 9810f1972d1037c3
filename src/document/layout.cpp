#include "layout.h"

#include <cmath>

namespace trameda::document {

PaperSize paperSize(Paper paper) {
    return paper == Paper::Letter ? PaperSize{215.9, 279.4} : PaperSize{210.0, 297.0};
}

ChartArea chartArea(Paper paper) {
    const PaperSize size = paperSize(paper);
    return {size.width - 2 * kMargin - kGutterBefore - kGutterAfter,
            size.height - 2 * kMargin - kHeader - kGutterBefore - kGutterAfter};
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

struct Split {
    std::vector<Span> columns;
    std::vector<Span> rows;
    std::size_t pages() const { return columns.size() * rows.size(); }
};

Split splitAt(int columns, int rows, const ChartArea& area, double cell) {
    // A hair of tolerance, so that cells that fit exactly are not lost to rounding.
    const int across = int(std::floor(area.width / cell + 1e-9));
    const int down = int(std::floor(area.height / cell + 1e-9));
    return {splitAxis(columns, across), splitAxis(rows, down)};
}

} // namespace

ChartPlan planChart(int columns, int rows, Paper paper, int firstNumber) {
    const ChartArea area = chartArea(paper);
    const std::size_t fewest = splitAt(columns, rows, area, kSmallestCell).pages();
    // Tenths of a millimetre, from the largest cell down.
    int tenths = int(std::lround(kLargestCell * 10));
    while (tenths > kSmallestCell * 10 &&
           splitAt(columns, rows, area, tenths / 10.0).pages() > fewest)
        --tenths;

    ChartPlan plan;
    plan.cell = tenths / 10.0;
    const Split split = splitAt(columns, rows, area, plan.cell);
    plan.pagesAcross = int(split.columns.size());
    plan.pagesDown = int(split.rows.size());
    int number = firstNumber;
    for (int down = 0; down < plan.pagesDown; ++down)
        for (int across = 0; across < plan.pagesAcross; ++across)
            plan.pages.push_back({number++, across, down, split.columns[std::size_t(across)],
                                  split.rows[std::size_t(down)]});
    return plan;
}

DocumentPlan planDocument(int columns, int rows, Paper paper) {
    DocumentPlan plan;
    plan.chart = planChart(columns, rows, paper, 2);
    plan.keyPage = 2 + int(plan.chart.pages.size());
    plan.pageCount = plan.keyPage;
    return plan;
}

} // namespace trameda::document
