#include "patternpdf.h"

#include "pdfpages.h"
#include "runtime/printer.h"
#include "runtime/surface.h"
#include "stitching/stitchgrid.h"
#include "threads/threadtable.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <memory>

namespace trameda::document {

namespace {

// Cells a page repeats from its neighbour are washed halfway to white (grey on a black and
// white page), so that they read as already stitched.
constexpr double kRepeatWash = 0.5;
const QColor kRepeatGrey(0xD0, 0xD0, 0xD0);
// A symbol's larger side, as a share of the cell.
constexpr double kSymbolShare = 0.72;
constexpr double kBoldWidth = 0.35;

QColor washed(const QColor& c) {
    const auto mix = [](int component) {
        return int(std::lround(255 - kRepeatWash * (255 - component)));
    };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

} // namespace

namespace pdfpages {

QString range(int first, int last) {
    return first == last ? QString::number(first) : QStringLiteral("%1–%2").arg(first).arg(last);
}

Writer::Writer(QPdfWriter& pdf, QPainter& painter, const Pattern& pattern)
    : m_pdf(pdf), m_painter(painter), m_pattern(pattern),
      m_order(shopOrder(pattern.key, pattern.threads)),
      m_plan(planDocument(pattern.grid.columns(), pattern.grid.rows(), pattern.paper, pattern.cell,
                          int(m_order.size()))),
      m_paper(paperSize(pattern.paper)), m_locale(QLocale::Italian, QLocale::Italy),
      m_reckoning(reckoning(pattern.settings)) {
    // Each entry with stitches gets the symbol of its place in the key.
    const std::size_t entries = pattern.colours.size();
    m_symbols = entrySymbols(pattern.key, pattern.threads, pattern.symbols);
    m_symbols.resize(entries);
    m_looks.resize(entries);
    m_repeatedLooks.resize(entries);
    for (std::size_t rank = 0; rank < m_order.size(); ++rank) {
        const auto entry = std::size_t(m_order[rank]->entry);
        if (entry >= entries)
            continue;
        if (pattern.blackAndWhite) {
            m_looks[entry] = {QColor(), Qt::black};
            m_repeatedLooks[entry] = {kRepeatGrey, Qt::black};
        } else {
            const QColor fill = toQColor(pattern.colours[entry]);
            m_looks[entry] = {fill, inkOn(fill)};
            m_repeatedLooks[entry] = {washed(fill), inkOn(washed(fill))};
        }
    }
}

void Writer::write() {
    cover();
    // Turned chart pages: the orientation is set before the page it is for begins.
    const bool turned = m_plan.chart.landscape;
    if (turned) {
        m_pdf.setPageOrientation(QPageLayout::Landscape);
        m_paper = {m_paper.height, m_paper.width};
    }
    for (const ChartPage& page : m_plan.chart.pages) {
        m_pdf.newPage();
        chartPage(page);
    }
    if (turned) {
        m_pdf.setPageOrientation(QPageLayout::Portrait);
        m_paper = paperSize(m_pattern.paper);
    }
    m_pdf.newPage();
    keyPages();
}

// --- drawing ---------------------------------------------------------------------------------

QFont Writer::font(double points, bool bold) const {
    QFont f(DrawingSurface::fontFamily());
    // No ligatures: "fi" stays two letters for whoever searches or copies the text.
    f.setStyleStrategy(QFont::PreferNoShaping);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QFont Writer::symbolFont(double points) {
    QFont f(symbolFontFamily());
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferNoShaping));
    f.setPointSizeF(points);
    return f;
}

void Writer::text(const QRectF& where, int flags, const QString& text, const QFont& f,
                  const QColor& colour) {
    m_painter.setFont(f);
    m_painter.setPen(colour);
    m_painter.drawText(where, flags, text);
}

QString Writer::elided(const QString& text, const QFont& f, double width) const {
    return QFontMetricsF(f, &m_pdf).elidedText(text, Qt::ElideRight, u(width));
}

double Writer::paragraph(double x, double y, double width, const QString& text, const QFont& f) {
    const QRectF where = box(x, y, width, m_paper.height);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    m_painter.setFont(f);
    m_painter.setPen(Qt::black);
    QRectF used;
    m_painter.drawText(where, flags, text, &used);
    return used.height() * 25.4 / kResolution;
}

void Writer::line(double x1, double y1, double x2, double y2, double width, const QColor& colour) {
    m_painter.setPen(QPen(colour, u(width), Qt::SolidLine, Qt::FlatCap));
    m_painter.drawLine(QPointF(u(x1), u(y1)), QPointF(u(x2), u(y2)));
}

QString Writer::fabricName() const {
    const KeySettings& s = m_pattern.settings;
    return s.over == 1 ? QStringLiteral("Aida %1").arg(s.fabric)
                       : QStringLiteral("lino %1 fili, su due fili").arg(s.fabric);
}

// --- chart pages -----------------------------------------------------------------------------

void Writer::pageHeader(const QString& second, bool withMap) {
    const double width = contentWidth() - (withMap ? kHeaderMapWidth + 3 : 0);
    // A long title gives way to the page number.
    text(box(kMargin, kMargin, width, 5), Qt::AlignLeft | Qt::AlignVCenter,
         elided(title(), font(10, true), width - 45), font(10, true));
    text(box(kMargin, kMargin, width, 5), Qt::AlignRight | Qt::AlignVCenter,
         QStringLiteral("pagina %1 di %2").arg(m_page).arg(m_plan.pageCount), font(10, true));
    text(box(kMargin, kMargin + 5.5, width, 5), Qt::AlignLeft | Qt::AlignVCenter,
         elided(second, font(8), width), font(8));
    if (withMap)
        pageMap(kMargin + contentWidth() - kHeaderMapWidth, kMargin, kHeaderMapWidth, kHeader - 2,
                m_page);
}

QString Writer::tileLine(const Tile& tile) const {
    QString line = QStringLiteral("colonne %1, righe %2")
                       .arg(range(tile.columns.first + 1, tile.columns.end()),
                            range(tile.rows.first + 1, tile.rows.end()));
    QStringList repeated;
    if (tile.columns.repeated > 0)
        repeated +=
            QStringLiteral("colonne %1 da pag. %2")
                .arg(range(tile.columns.first + 1, tile.columns.first + tile.columns.repeated))
                .arg(m_plan.chart.tile(tile.across - 1, tile.down).page);
    if (tile.rows.repeated > 0)
        repeated += QStringLiteral("righe %1 da pag. %2")
                        .arg(range(tile.rows.first + 1, tile.rows.first + tile.rows.repeated))
                        .arg(m_plan.chart.tile(tile.across, tile.down - 1).page);
    if (!repeated.isEmpty())
        line += QStringLiteral("; in grigio, ripetute: ") + repeated.join(QStringLiteral(", "));
    return line;
}

QString Writer::chartPageLine(const ChartPage& page) const {
    if (page.tiles.size() == 1)
        return tileLine(m_plan.chart.tiles[std::size_t(page.tiles.front())]);
    const Tile& first = m_plan.chart.tiles[std::size_t(page.tiles.front())];
    const Tile& last = m_plan.chart.tiles[std::size_t(page.tiles.back())];
    const bool stacked = m_plan.chart.tilesDown == 1;
    return QStringLiteral("colonne %1, righe %2, in %3 %4; in grigio, ripetute, le %5 "
                          "della striscia prima")
        .arg(range(first.columns.first + 1, last.columns.end()),
             range(first.rows.first + 1, last.rows.end()), QString::number(page.tiles.size()),
             stacked ? QStringLiteral("strisce una sotto l'altra")
                     : QStringLiteral("strisce affiancate"),
             stacked ? QStringLiteral("colonne") : QStringLiteral("righe"));
}

void Writer::chartPage(const ChartPage& page) {
    ++m_page;
    pageHeader(chartPageLine(page), true);
    for (const int index : page.tiles)
        chartTile(m_plan.chart.tiles[std::size_t(index)]);
}

void Writer::chartTile(const Tile& tile) {
    const double cell = m_plan.chart.cell;
    const Span& cols = tile.columns;
    const Span& rws = tile.rows;
    const double x0 = kMargin + tile.x;
    const double y0 = kMargin + kHeader + tile.y;
    const double x1 = x0 + cell * cols.count;
    const double y1 = y0 + cell * rws.count;

    const auto repeated = [&](int c, int r) {
        return c < cols.first + cols.repeated || r < rws.first + rws.repeated;
    };
    const auto look = [&](int entry, bool again) -> const CellLook& {
        return again ? m_repeatedLooks[std::size_t(entry)] : m_looks[std::size_t(entry)];
    };
    // Cells: the thread's colour, washed where repeated from a neighbour; unstitched cells
    // stay blank.
    fillCells(x0, y0, cell, cols, rws, [&](int c, int r) {
        const int entry = m_pattern.grid.at(c, r);
        return entry < 0 ? QColor() : look(entry, repeated(c, r)).fill;
    });

    symbols(x0, y0, cell, cols, rws,
            [&](int c, int r, int entry) { return look(entry, repeated(c, r)).ink; });

    // Lines: thin between cells, bold every 10 stitches and round the design.
    const auto bold = [](int line, int cells) { return line % 10 == 0 || line == cells; };
    for (int pass = 0; pass < 2; ++pass) {
        const bool boldPass = pass == 1;
        const double width = boldPass ? kBoldWidth : kThinWidth;
        const QColor colour = boldPass ? QColor(Qt::black) : kThinLine;
        for (int c = 0; c <= cols.count; ++c)
            if (bold(cols.first + c, columns()) == boldPass)
                line(x0 + c * cell, y0, x0 + c * cell, y1, width, colour);
        for (int r = 0; r <= rws.count; ++r)
            if (bold(rws.first + r, rows()) == boldPass)
                line(x0, y0 + r * cell, x1, y0 + r * cell, width, colour);
    }

    // Stitch numbers on all four edges, so that the count is at hand wherever the needle is.
    const QFont numberFont = font(6);
    for (const int n : numberedLines(cols)) {
        const double x = x0 + (n - cols.first) * cell;
        text(box(x - 5, y0 - 3.4, 10, 3), Qt::AlignHCenter | Qt::AlignBottom, QString::number(n),
             numberFont);
        text(box(x - 5, y1 + 0.4, 10, 3), Qt::AlignHCenter | Qt::AlignTop, QString::number(n),
             numberFont);
    }
    for (const int n : numberedLines(rws)) {
        // A number on the piece's top or bottom edge keeps inside it, clear of the column
        // numbers at the corner.
        const double y = y0 + (n - rws.first) * cell;
        const double top = n == rws.first ? y : n == rws.end() ? y - 3 : y - 1.5;
        const int vertical = n == rws.first   ? Qt::AlignTop
                             : n == rws.end() ? Qt::AlignBottom
                                              : Qt::AlignVCenter;
        text(box(x0 - 5.6, top, 5, 3), Qt::AlignRight | vertical, QString::number(n), numberFont);
        text(box(x1 + 0.6, top, 5, 3), Qt::AlignLeft | vertical, QString::number(n), numberFont);
    }

    // The design's centre, on all four edges, beyond the numbers.
    if (const auto at = centreOn(cols, columns())) {
        const double x = x0 + *at * cell;
        arrow(x, y0 - 3.6, 0, 1);
        arrow(x, y1 + 3.6, 0, -1);
    }
    if (const auto at = centreOn(rws, rows())) {
        const double y = y0 + *at * cell;
        arrow(x0 - 5.4, y, 1, 0);
        arrow(x1 + 5.4, y, -1, 0);
    }
}

template <typename InkOf>
void Writer::symbols(double x0, double y0, double cell, const Span& cols, const Span& rws,
                     InkOf&& inkOf) {
    // One size for all: the largest symbol in use fills kSymbolShare of the cell.
    const QFont probe = symbolFont(100);
    const QFontMetricsF probeMetrics(probe, &m_pdf);
    double largest = 0;
    for (const QString& symbol : m_symbols)
        if (!symbol.isEmpty()) {
            const QRectF r = probeMetrics.tightBoundingRect(symbol);
            largest = std::max({largest, r.width(), r.height()});
        }
    if (largest <= 0)
        return; // nothing stitched
    const QFont symbolsFont = symbolFont(100 * u(cell) * kSymbolShare / largest);
    const QFontMetricsF metrics(symbolsFont, &m_pdf);
    std::vector<QPointF> offsets(m_symbols.size());
    for (std::size_t i = 0; i < m_symbols.size(); ++i) {
        const QRectF r = metrics.tightBoundingRect(m_symbols[i]);
        offsets[i] =
            QPointF((u(cell) - r.width()) / 2 - r.left(), (u(cell) - r.height()) / 2 - r.top());
    }
    m_painter.setFont(symbolsFont);
    for (int r = 0; r < rws.count; ++r)
        for (int c = 0; c < cols.count; ++c) {
            const int entry = m_pattern.grid.at(cols.first + c, rws.first + r);
            if (entry < 0 || std::size_t(entry) >= m_symbols.size())
                continue;
            m_painter.setPen(inkOf(cols.first + c, rws.first + r, entry));
            m_painter.drawText(QPointF(u(x0 + c * cell), u(y0 + r * cell)) +
                                   offsets[std::size_t(entry)],
                               m_symbols[std::size_t(entry)]);
        }
}

void Writer::arrow(double x, double y, int dx, int dy) {
    constexpr double length = 2.4;
    constexpr double half = 1.3;
    QPainterPath path;
    path.moveTo(u(x), u(y));
    path.lineTo(u(x - dx * length - dy * half), u(y - dy * length - dx * half));
    path.lineTo(u(x - dx * length + dy * half), u(y - dy * length + dx * half));
    path.closeSubpath();
    m_painter.fillPath(path, Qt::black);
}

} // namespace pdfpages

bool writePatternPdf(QIODevice& device, const Pattern& pattern) {
    QPdfWriter pdf(&device);
    pdf.setResolution(pdfpages::kResolution);
    pdf.setPageLayout(
        QPageLayout(QPageSize(pattern.paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    pdf.setCreator(QStringLiteral("Trameda"));
    pdf.setTitle(pattern.title);
    auto painter = std::make_unique<QPainter>();
    bool ended = false;
    try {
        if (painter->begin(&pdf)) {
            painter->setRenderHint(QPainter::Antialiasing, true);
            pdfpages::Writer(pdf, *painter, pattern).write();
            ended = painter->end();
        }
    } catch (...) {
        // Short of memory half way: the painter is ended here if it can be, not by its
        // destructor.
        try {
            if (painter->isActive())
                painter->end();
        } catch (...) {
        }
        disposePainter(painter);
        throw;
    }
    return ended;
}

} // namespace trameda::document
