#include "patternpdf.h"

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
#include <array>
#include <memory>

namespace trameda::document {

namespace {

constexpr int kResolution = 1200; // device units per inch; the PDF itself is vector

// Cells a page repeats from its neighbour are washed halfway to white (grey on a black and
// white page), so that they read as already stitched.
constexpr double kRepeatWash = 0.5;
const QColor kRepeatGrey(0xD0, 0xD0, 0xD0);
// A symbol's larger side, as a share of the cell.
constexpr double kSymbolShare = 0.72;
// Each filled run reaches this far under its right and lower neighbours, which are drawn after
// it: rectangles that only touch leave a pale seam in viewers that smooth edges.
constexpr double kFillOverlap = 0.08;
const QColor kThinLine(0x80, 0x80, 0x80);
constexpr double kThinWidth = 0.1;
constexpr double kBoldWidth = 0.35;

QColor washed(const QColor& c) {
    const auto mix = [](int component) {
        return int(std::lround(255 - kRepeatWash * (255 - component)));
    };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

// How a cell of an entry is drawn: its fill (none on a black and white page) and its symbol.
struct CellLook {
    QColor fill;
    QColor ink;
};

QString range(int first, int last) {
    return first == last ? QString::number(first) : QStringLiteral("%1–%2").arg(first).arg(last);
}

class Writer {
public:
    Writer(QPdfWriter& pdf, QPainter& painter, const Pattern& pattern)
        : m_pdf(pdf), m_painter(painter), m_pattern(pattern),
          m_order(shopOrder(pattern.key, pattern.threads)),
          m_plan(planDocument(pattern.grid.columns(), pattern.grid.rows(), pattern.paper,
                              pattern.cell, int(m_order.size()))),
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

    void write() {
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

private:
    // Millimetres to device units.
    static double u(double mm) { return mm * kResolution / 25.4; }
    static QRectF box(double x, double y, double w, double h) { return {u(x), u(y), u(w), u(h)}; }

    QFont font(double points, bool bold = false) const {
        QFont f(DrawingSurface::fontFamily());
        // No ligatures: "fi" stays two letters for whoever searches or copies the text.
        f.setStyleStrategy(QFont::PreferNoShaping);
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }

    // The symbols' font, with no stand-in from another font for a glyph it lacks.
    static QFont symbolFont(double points) {
        QFont f(symbolFontFamily());
        f.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferNoShaping));
        f.setPointSizeF(points);
        return f;
    }

    void text(const QRectF& where, int flags, const QString& text, const QFont& f,
              const QColor& colour = Qt::black) {
        m_painter.setFont(f);
        m_painter.setPen(colour);
        m_painter.drawText(where, flags, text);
    }

    QString elided(const QString& text, const QFont& f, double width) const {
        return QFontMetricsF(f, &m_pdf).elidedText(text, Qt::ElideRight, u(width));
    }

    // The font of `points` (bold or not), made smaller as far as `text` needs to fit `width`:
    // a thread's number is never cut short, whatever its maker's numbers are like.
    QFont fitting(const QString& text, double points, bool bold, double width) const {
        QFont f = font(points, bold);
        const double wide = QFontMetricsF(f, &m_pdf).horizontalAdvance(text);
        if (wide > u(width))
            f.setPointSizeF(points * u(width) / wide);
        return f;
    }

    // Wrapped text from (x, y), `width` wide; returns the height it took.
    double paragraph(double x, double y, double width, const QString& text, const QFont& f) {
        const QRectF where = box(x, y, width, m_paper.height);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        m_painter.setFont(f);
        m_painter.setPen(Qt::black);
        QRectF used;
        m_painter.drawText(where, flags, text, &used);
        return used.height() * 25.4 / kResolution;
    }

    void line(double x1, double y1, double x2, double y2, double width, const QColor& colour) {
        m_painter.setPen(QPen(colour, u(width), Qt::SolidLine, Qt::FlatCap));
        m_painter.drawLine(QPointF(u(x1), u(y1)), QPointF(u(x2), u(y2)));
    }

    QString number(double value, int decimals) const {
        return m_locale.toString(value, 'f', decimals);
    }
    // A number with the decimals it has and no more: "24", "9,6", "12,5".
    QString plain(double value) const { return m_locale.toString(value, 'g', 12); }

    const QString& title() const { return m_pattern.title; }
    int columns() const { return m_pattern.grid.columns(); }
    int rows() const { return m_pattern.grid.rows(); }
    double contentWidth() const { return m_paper.width - 2 * kMargin; }

    // The cloth as a stitcher names it.
    QString fabricName() const {
        const KeySettings& s = m_pattern.settings;
        return s.over == 1 ? QStringLiteral("Aida %1").arg(s.fabric)
                           : QStringLiteral("lino %1 fili, su due fili").arg(s.fabric);
    }

    // The cells of rows `rowSpan` and columns `columnSpan` as filled squares of side `cell`
    // from (x, y), each row's runs of one colour as one rectangle.
    template <typename CellColour>
    void fillCells(double x, double y, double cell, const Span& columnSpan, const Span& rowSpan,
                   CellColour&& colourOf) {
        m_painter.setPen(Qt::NoPen);
        for (int r = 0; r < rowSpan.count; ++r) {
            int start = 0;
            while (start < columnSpan.count) {
                const QColor colour = colourOf(columnSpan.first + start, rowSpan.first + r);
                int end = start + 1;
                while (end < columnSpan.count &&
                       colourOf(columnSpan.first + end, rowSpan.first + r) == colour)
                    ++end;
                if (colour.isValid())
                    m_painter.fillRect(box(x + start * cell, y + r * cell,
                                           (end - start) * cell + kFillOverlap,
                                           cell + kFillOverlap),
                                       colour);
                start = end;
            }
        }
    }

    QColor chartColour(int column, int row) const {
        const int entry = m_pattern.grid.at(column, row);
        return entry < 0 ? QColor() : toQColor(m_pattern.colours[std::size_t(entry)]);
    }

    // --- cover ---------------------------------------------------------------------------

    void cover() {
        const double left = kMargin;
        double y = kMargin;
        const Key& key = m_pattern.key;
        text(box(left, y, contentWidth(), 10), Qt::AlignLeft | Qt::AlignVCenter,
             elided(title(), font(20, true), contentWidth()), font(20, true));
        y += 11;
        text(box(left, y, contentWidth(), 6), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Schema a punto croce, %1 × %2 punti, %3")
                 .arg(columns())
                 .arg(rows())
                 .arg(counted(key.coloursUsed, QStringLiteral("colore"), QStringLiteral("colori"))),
             font(11));
        y += 9;

        // The chart in colour, as large as the room above the details allows.
        const double detailsHeight = 72;
        const double roomHeight = m_paper.height - kMargin - detailsHeight - y;
        const double cell = std::min(contentWidth() / columns(), roomHeight / rows());
        const double chartX = left + (contentWidth() - cell * columns()) / 2;
        fillCells(chartX, y, cell, {0, columns(), 0}, {0, rows(), 0},
                  [this](int c, int r) { return chartColour(c, r); });
        m_painter.setBrush(Qt::NoBrush);
        m_painter.setPen(QPen(Qt::black, u(0.2)));
        m_painter.drawRect(box(chartX, y, cell * columns(), cell * rows()));

        // The details on the left, the map of the chart pages on the right, below the chart.
        y += cell * rows() + 8;
        const double detailsTop = y;
        const double perInch = m_pattern.settings.stitchesPerInch();
        const Centimetres finished = finishedSize(columns(), rows(), m_pattern.settings);
        const Centimetres cut = fabricToCut(finished);
        const auto cmAndInches = [this](const Centimetres& size) {
            return QStringLiteral("%1 × %2 cm (%3 × %4 pollici)")
                .arg(number(size.width, 1), number(size.height, 1), number(size.width / 2.54, 1),
                     number(size.height / 2.54, 1));
        };
        const int chartPages = int(m_plan.chart.pages.size());
        const QStringList details{
            QStringLiteral("Punti: %1 in larghezza, %2 in altezza").arg(columns()).arg(rows()),
            QStringLiteral("Tela: %1 (%2 punti per pollice)").arg(fabricName(), plain(perInch)),
            QStringLiteral("Misura finita: ") + cmAndInches(finished),
            QStringLiteral("Tessuto da tagliare: ") + cmAndInches(cut) +
                QStringLiteral(", %1 cm in più per lato").arg(plain(kCutAllowance)),
            QStringLiteral("%1, %2, a %3")
                .arg(counted(key.coloursUsed, QStringLiteral("colore"), QStringLiteral("colori")),
                     counted(key.threadsUsed, QStringLiteral("filo ") + m_pattern.brand,
                             QStringLiteral("fili ") + m_pattern.brand),
                     counted(m_pattern.settings.strands, QStringLiteral("capo"),
                             QStringLiteral("capi"))),
            QStringLiteral("Schema: %1 (%2), legenda %3")
                .arg(counted(chartPages, QStringLiteral("pagina"), QStringLiteral("pagine")),
                     pageRange(2, 1 + chartPages), pageRange(m_plan.keyPage, m_plan.pageCount)),
        };
        const double detailsWidth = contentWidth() - 72;
        for (const QString& detail : details + m_pattern.notes)
            y += paragraph(left, y, detailsWidth, detail, font(9.5)) + 2.5;
        text(box(left + detailsWidth + 4, detailsTop, 68, 5), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Pagine dello schema"), font(9, true));
        pageMap(left + detailsWidth + 4, detailsTop + 6, 68, 52, 0);
    }

    static QString pageRange(int first, int last) {
        return first == last ? QStringLiteral("a pagina %1").arg(first)
                             : QStringLiteral("alle pagine %1").arg(range(first, last));
    }

    // How the pieces of the chart tile the design, each at its place, within `width` x
    // `height`. With `current` 0, each is numbered with its page; otherwise the pieces on page
    // `current` are dark and the rest pale, unnumbered.
    void pageMap(double x, double y, double width, double height, int current) {
        // In proportion to the design, unless that makes a piece too thin to see: then that way
        // the map is stretched, as far as its room allows.
        const ChartPlan& chart = m_plan.chart;
        const double scale = std::min(width / columns(), height / rows());
        const double thinnest = current ? 2.0 : 7.0;
        const auto stretched = [&](double room, int cells, int fewestInAPiece) {
            return std::max(scale, std::min(room / cells, thinnest / fewestInAPiece));
        };
        int fewestAcross = columns();
        int fewestDown = rows();
        for (const Tile& tile : chart.tiles) {
            fewestAcross = std::min(fewestAcross, tile.columns.count - tile.columns.repeated);
            fewestDown = std::min(fewestDown, tile.rows.count - tile.rows.repeated);
        }
        const double sx = stretched(width, columns(), fewestAcross);
        const double sy = stretched(height, rows(), fewestDown);
        // Right-aligned on a chart page's header, left-aligned on the cover.
        const double left = current ? x + width - sx * columns() : x;
        for (const Tile& tile : chart.tiles) {
            // Each piece at the cells it adds; the repeated ones belong to its neighbours.
            const double px = left + (tile.columns.first + tile.columns.repeated) * sx;
            const double py = y + (tile.rows.first + tile.rows.repeated) * sy;
            const double pw = (tile.columns.count - tile.columns.repeated) * sx;
            const double ph = (tile.rows.count - tile.rows.repeated) * sy;
            const bool here = current && tile.page == current;
            m_painter.setBrush(here ? QColor(0x40, 0x40, 0x40) : QColor(0xF2, 0xF2, 0xF2));
            m_painter.setPen(QPen(Qt::black, u(current ? 0.15 : 0.25)));
            m_painter.drawRect(box(px, py, pw, ph));
            if (!current)
                text(box(px, py, pw, ph), Qt::AlignCenter, QString::number(tile.page),
                     font(std::clamp(std::min(pw, ph) * 1.2, 5.0, 12.0), true));
        }
    }

    // --- chart pages ---------------------------------------------------------------------

    // The map of where the page lies takes the header's right end.
    static constexpr double kHeaderMapWidth = 30;

    void pageHeader(const QString& second, bool withMap) {
        const double width = contentWidth() - (withMap ? kHeaderMapWidth + 3 : 0);
        // A long title gives way to the page number.
        text(box(kMargin, kMargin, width, 5), Qt::AlignLeft | Qt::AlignVCenter,
             elided(title(), font(10, true), width - 45), font(10, true));
        text(box(kMargin, kMargin, width, 5), Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("pagina %1 di %2").arg(m_page).arg(m_plan.pageCount), font(10, true));
        text(box(kMargin, kMargin + 5.5, width, 5), Qt::AlignLeft | Qt::AlignVCenter,
             elided(second, font(8), width), font(8));
        if (withMap)
            pageMap(kMargin + contentWidth() - kHeaderMapWidth, kMargin, kHeaderMapWidth,
                    kHeader - 2, m_page);
    }

    QString tileLine(const Tile& tile) const {
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

    QString chartPageLine(const ChartPage& page) const {
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

    void chartPage(const ChartPage& page) {
        ++m_page;
        pageHeader(chartPageLine(page), true);
        for (const int index : page.tiles)
            chartTile(m_plan.chart.tiles[std::size_t(index)]);
    }

    void chartTile(const Tile& tile) {
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
            text(box(x - 5, y0 - 3.4, 10, 3), Qt::AlignHCenter | Qt::AlignBottom,
                 QString::number(n), numberFont);
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
            text(box(x0 - 5.6, top, 5, 3), Qt::AlignRight | vertical, QString::number(n),
                 numberFont);
            text(box(x1 + 0.6, top, 5, 3), Qt::AlignLeft | vertical, QString::number(n),
                 numberFont);
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

    // The symbol of every stitched cell, one glyph a cell, centred on its own shape.
    template <typename InkOf>
    void symbols(double x0, double y0, double cell, const Span& cols, const Span& rws,
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

    // A filled triangle with its tip at (x, y), pointing along (dx, dy).
    void arrow(double x, double y, int dx, int dy) {
        constexpr double length = 2.4;
        constexpr double half = 1.3;
        QPainterPath path;
        path.moveTo(u(x), u(y));
        path.lineTo(u(x - dx * length - dy * half), u(y - dy * length - dx * half));
        path.lineTo(u(x - dx * length + dy * half), u(y - dy * length + dx * half));
        path.closeSubpath();
        m_painter.fillPath(path, Qt::black);
    }

    // --- key -----------------------------------------------------------------------------

    struct Column {
        double x;
        double width;
        const char* heading;
        int align;
    };
    static constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;
    static constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
    static constexpr std::array<Column, 8> kKeyColumns{{{0, 14, "Simbolo", kLeft},
                                                        {16, 10, "Colore", kLeft},
                                                        {29, 21, "Filo", kLeft},
                                                        {51, 58, "Nome", kLeft},
                                                        {110, 16, "Diff.", kRight},
                                                        {128, 18, "Punti", kRight},
                                                        {148, 16, "Metri", kRight},
                                                        {166, 20, "Matasse", kRight}}};

    static QRectF keyCell(std::size_t column, double top, double height) {
        return box(kMargin + kKeyColumns[column].x, top, kKeyColumns[column].width, height);
    }

    // A key page's header and column headings; returns where the first row goes.
    double keyPageTop() {
        ++m_page;
        pageHeader(QStringLiteral("legenda: una riga per filo, nell'ordine dei numeri %1")
                       .arg(m_pattern.brand),
                   false);
        double y = kMargin + kHeader;
        for (std::size_t c = 0; c < kKeyColumns.size(); ++c)
            text(keyCell(c, y, kKeyHeading - 2), kKeyColumns[c].align,
                 QString::fromUtf8(kKeyColumns[c].heading), font(8, true));
        line(kMargin, y + kKeyHeading - 2, kMargin + contentWidth(), y + kKeyHeading - 2, 0.3,
             Qt::black);
        return y + kKeyHeading;
    }

    void keyRow(const KeyLine& entry, double y) {
        const threads::Thread& thread = m_pattern.threads.at(entry.thread.index);
        const double middle = y + kKeyRow / 2;
        const auto index = std::size_t(entry.entry);
        // The symbol as the chart pages show it, then the colour itself.
        const double side = 6;
        const QRectF cellBox = box(kMargin + kKeyColumns[0].x + 3, middle - side / 2, side, side);
        const CellLook& look = m_looks[index];
        if (look.fill.isValid())
            m_painter.fillRect(cellBox, look.fill);
        m_painter.setPen(QPen(kThinLine, u(kThinWidth)));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawRect(cellBox);
        text(cellBox, Qt::AlignCenter, m_symbols[index], symbolFont(side * 0.75 * 72 / 25.4),
             look.ink);
        const QRectF swatch = box(kMargin + kKeyColumns[1].x, middle - side / 2, 10, side);
        m_painter.fillRect(swatch, toQColor(entry.colour));
        m_painter.setPen(QPen(Qt::black, u(kThinWidth)));
        m_painter.drawRect(swatch);

        const QString code = m_pattern.brand + u' ' + thread.number;
        text(keyCell(2, y, kKeyRow), kLeft, code,
             fitting(code, 9, true, kKeyColumns[2].width - 1));
        QString name = thread.name;
        if (entry.also && m_pattern.alsoTable)
            name +=
                QStringLiteral(" (%1 %2 più vicino per colore)")
                    .arg(m_pattern.alsoBrand, m_pattern.alsoTable->at(entry.also->index).number);
        if (entry.sameThreadAs >= 0)
            name += QStringLiteral(" (stesso filo di %1)")
                        .arg(m_symbols[std::size_t(entry.sameThreadAs)]);
        text(keyCell(3, y, kKeyRow), kLeft, elided(name, font(8), kKeyColumns[3].width), font(8));
        text(keyCell(4, y, kKeyRow), kRight,
             number(entry.thread.difference, 1) +
                 (entry.approximate() ? QStringLiteral(" ≈") : QString()),
             font(8));
        text(keyCell(5, y, kKeyRow), kRight, m_locale.toString(entry.stitches), font(9));
        text(keyCell(6, y, kKeyRow), kRight, number(entry.need.metres, 1), font(9));
        text(keyCell(7, y, kKeyRow), kRight, QString::number(entry.need.skeins), font(9, true));
        line(kMargin, y + kKeyRow, kMargin + contentWidth(), y + kKeyRow, kThinWidth, kThinLine);
    }

    void keyPages() {
        std::size_t next = 0;
        for (std::size_t page = 0; page < m_plan.keyRows.size(); ++page) {
            if (page > 0)
                m_pdf.newPage();
            double y = keyPageTop();
            for (int row = 0; row < m_plan.keyRows[page] && next < m_order.size(); ++row)
                keyRow(*m_order[next++], y + row * kKeyRow);
            if (page + 1 == m_plan.keyRows.size())
                keyNotes(y + m_plan.keyRows[page] * kKeyRow + 1);
        }
    }

    void keyNotes(double y) {
        const Key& key = m_pattern.key;
        const KeySettings& settings = m_pattern.settings;
        const threads::Reckoning& r = m_reckoning;
        text(keyCell(3, y, kKeyRow), kLeft,
             QStringLiteral("Totale: %1, %2")
                 .arg(counted(key.coloursUsed, QStringLiteral("colore"), QStringLiteral("colori")),
                      counted(key.threadsUsed, QStringLiteral("filo"), QStringLiteral("fili"))),
             font(9, true));
        text(keyCell(5, y, kKeyRow), kRight, m_locale.toString(key.stitches), font(9, true));
        text(keyCell(6, y, kKeyRow), kRight, number(key.metres, 1), font(9, true));
        text(keyCell(7, y, kKeyRow), kRight, QString::number(key.skeins), font(9, true));
        y += kKeyRow + 3;

        const QString strands =
            counted(settings.strands, QStringLiteral("capo"), QStringLiteral("capi"));
        QStringList notes{
            QStringLiteral(
                "Filo per punto: una croce intera fa le due diagonali del quadretto sul davanti "
                "e circa due lati sul retro, (2 × 1,414 + 2) × lato = 4,828 × lato. Su %1 "
                "(%2 punti per pollice) il lato è 25,4 mm ÷ %2 = %3 mm e una croce prende "
                "4,828 × %3 = %4 mm di filo; con la metà in più per iniziare e finire i fili e "
                "per passare da un punto all'altro, %4 × 1,5 = %5 mm per punto.")
                .arg(fabricName(), plain(settings.stitchesPerInch()), number(r.side, 3),
                     number(r.cross, 2), number(r.perStitch, 2)),
            QStringLiteral(
                "Metri = punti × %1 mm, arrotondati al decimetro, di filo a %2. Una matassa "
                "è di %3 m a %4 capi, cioè %5 m di filo a %2. %6 I simboli sullo stesso filo ne "
                "dividono le matasse nel totale.")
                .arg(number(r.perStitch, 2), strands, plain(threads::kSkeinMetres),
                     QString::number(threads::kSkeinStrands), plain(r.perSkein),
                     r.margin > 0
                         ? QStringLiteral("Matasse = metri × %1 ÷ %2, arrotondate per eccesso "
                                          "(almeno una per filo): il %3 % in più è il margine "
                                          "per gli errori e per disfare.")
                               .arg(plain(1 + r.margin / 100.0), plain(r.perSkein))
                               .arg(r.margin)
                         : QStringLiteral("Matasse = metri ÷ %1, arrotondate per eccesso "
                                          "(almeno una per filo), senza margine per gli errori.")
                               .arg(plain(r.perSkein))),
            QStringLiteral(
                "Diff.: la differenza di colore CIEDE2000 tra il colore scelto e il filo: sotto "
                "1 non si vede, fino a 2 appena, oltre %1 (≈) il filo è solo un'approssimazione "
                "e va confrontato con il colore voluto.")
                .arg(number(threads::kApproximateAbove, 0)),
        };
        if (m_pattern.symbols == SymbolSet::Letters && m_order.size() > 16)
            notes += QStringLiteral("Le lettere della finestra sono solo 16: con %1 lo schema usa "
                                    "i simboli.")
                         .arg(counted(qsizetype(m_order.size()), QStringLiteral("filo"),
                                      QStringLiteral("fili")));
        notes += m_pattern.notes;
        if (m_pattern.snapped)
            notes += QStringLiteral(
                "Lo schema usa i colori dei fili al posto di quelli scelti; i colori sullo "
                "stesso filo sono una voce sola.");
        for (const QString& note : notes)
            y += paragraph(kMargin, y, contentWidth(), note, font(8.5)) + 2.5;
    }

    QPdfWriter& m_pdf;
    QPainter& m_painter;
    const Pattern& m_pattern;
    const std::vector<const KeyLine*> m_order;
    const DocumentPlan m_plan;
    PaperSize m_paper; // of the page being drawn
    const QLocale m_locale;
    const threads::Reckoning m_reckoning;
    std::vector<QString> m_symbols; // by palette entry; empty for one without stitches
    std::vector<CellLook> m_looks;
    std::vector<CellLook> m_repeatedLooks;
    int m_page = 1;
};

} // namespace

bool writePatternPdf(QIODevice& device, const Pattern& pattern) {
    QPdfWriter pdf(&device);
    pdf.setResolution(kResolution);
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
            Writer(pdf, *painter, pattern).write();
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
