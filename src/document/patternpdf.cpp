#include "patternpdf.h"

#include "pattern/rules.h"
#include "runtime/printer.h"
#include "runtime/surface.h"
#include "stitchgrid.h"
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

// The colours of a chart page: a light tint of the cell's colour under its black letter, darker
// where the page repeats its neighbour's cells.
constexpr double kTintShare = 0.35;
constexpr double kRepeatShade = 0.75;
// Each filled run reaches this far under its right and lower neighbours, which are drawn after
// it: rectangles that only touch leave a pale seam in viewers that smooth edges.
constexpr double kFillOverlap = 0.08;
const QColor kThinLine(0x80, 0x80, 0x80);
constexpr double kThinWidth = 0.1;
constexpr double kBoldWidth = 0.35;

QColor tint(Colour colour, double share) {
    const QColor c = toQColor(colour);
    const auto mix = [share](int component) {
        return int(std::lround(255 - share * (255 - component)));
    };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

QColor shaded(const QColor& c) {
    return QColor(int(c.red() * kRepeatShade), int(c.green() * kRepeatShade),
                  int(c.blue() * kRepeatShade));
}

QString range(int first, int last) {
    return first == last ? QString::number(first) : QStringLiteral("%1–%2").arg(first).arg(last);
}

class Writer {
public:
    Writer(QPdfWriter& pdf, QPainter& painter, const Pattern& pattern)
        : m_pdf(pdf), m_painter(painter), m_pattern(pattern),
          m_plan(planDocument(pattern.grid.columns(), pattern.grid.rows(), pattern.paper)),
          m_paper(paperSize(pattern.paper)), m_locale(QLocale::Italian, QLocale::Italy) {}

    void write() {
        cover();
        for (const ChartPage& page : m_plan.chart.pages) {
            m_pdf.newPage();
            chartPage(page);
        }
        m_pdf.newPage();
        keyPage();
    }

private:
    // Millimetres to device units.
    static double u(double mm) { return mm * kResolution / 25.4; }
    static QRectF box(double x, double y, double w, double h) { return {u(x), u(y), u(w), u(h)}; }

    QFont font(double points, bool bold = false) const {
        QFont f(DrawingSurface::fontFamily());
        f.setPointSizeF(points);
        f.setBold(bold);
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

    const QString& title() const { return m_pattern.title; }
    int columns() const { return m_pattern.grid.columns(); }
    int rows() const { return m_pattern.grid.rows(); }
    double contentWidth() const { return m_paper.width - 2 * kMargin; }

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
        text(box(left, y, contentWidth(), 10), Qt::AlignLeft | Qt::AlignVCenter,
             elided(title(), font(20, true), contentWidth()), font(20, true));
        y += 11;
        text(box(left, y, contentWidth(), 6), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Schema a punto croce, %1 × %2 punti, %3")
                 .arg(columns())
                 .arg(rows())
                 .arg(m_pattern.key.coloursUsed == 1
                          ? QStringLiteral("1 colore")
                          : QStringLiteral("%1 colori").arg(m_pattern.key.coloursUsed)),
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
        const int fabric = m_pattern.settings.fabric;
        const double widthCm = columns() * 2.54 / fabric;
        const double heightCm = rows() * 2.54 / fabric;
        const auto cmAndInches = [this](double w, double h) {
            return QStringLiteral("%1 × %2 cm (%3 × %4 pollici)")
                .arg(number(w, 1), number(h, 1), number(w / 2.54, 1), number(h / 2.54, 1));
        };
        const int chartPages = int(m_plan.chart.pages.size());
        const QStringList details{
            QStringLiteral("Punti: %1 in larghezza, %2 in altezza").arg(columns()).arg(rows()),
            QStringLiteral("Tela: %1 punti per pollice (Aida %1)").arg(fabric),
            QStringLiteral("Misura finita: ") + cmAndInches(widthCm, heightCm),
            QStringLiteral("Tessuto da tagliare: ") + cmAndInches(widthCm + 10, heightCm + 10) +
                QStringLiteral(", 5 cm in più per lato"),
            QStringLiteral("Colori: %1, fili DMC: %2, a %3 capi")
                .arg(m_pattern.key.coloursUsed)
                .arg(m_pattern.key.threadsUsed)
                .arg(m_pattern.settings.strands),
            QStringLiteral("Pagine: %1 di schema (%2), legenda a pagina %3")
                .arg(chartPages)
                .arg(chartPages == 1 ? QStringLiteral("pagina 2")
                                     : QStringLiteral("pagine 2–%1").arg(1 + chartPages))
                .arg(m_plan.keyPage),
        };
        const double detailsWidth = contentWidth() - 72;
        for (const QString& detail : details)
            y += paragraph(left, y, detailsWidth, detail, font(9.5)) + 2.5;
        pageMap(left + detailsWidth + 4, detailsTop, 68, 58);
    }

    // How the chart pages tile the design, each page at its place with its number.
    void pageMap(double x, double y, double width, double height) {
        text(box(x, y, width, 5), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Pagine dello schema"), font(9, true));
        y += 6;
        height -= 6;
        // In proportion to the design, unless that makes a page too thin to number: then that
        // way the map is stretched, as far as its room allows.
        const ChartPlan& chart = m_plan.chart;
        const double scale = std::min(width / columns(), height / rows());
        const auto stretched = [scale](double room, int cells, int fewestOnAPage) {
            return std::max(scale, std::min(room / cells, 7.0 / fewestOnAPage));
        };
        int fewestAcross = columns();
        int fewestDown = rows();
        for (const ChartPage& page : chart.pages) {
            fewestAcross = std::min(fewestAcross, page.columns.count - page.columns.repeated);
            fewestDown = std::min(fewestDown, page.rows.count - page.rows.repeated);
        }
        const double sx = stretched(width, columns(), fewestAcross);
        const double sy = stretched(height, rows(), fewestDown);
        for (const ChartPage& page : chart.pages) {
            // Each page at the cells it adds; the repeated ones belong to its neighbours.
            const double px = x + (page.columns.first + page.columns.repeated) * sx;
            const double py = y + (page.rows.first + page.rows.repeated) * sy;
            const double pw = (page.columns.count - page.columns.repeated) * sx;
            const double ph = (page.rows.count - page.rows.repeated) * sy;
            m_painter.setBrush(QColor(0xF2, 0xF2, 0xF2));
            m_painter.setPen(QPen(Qt::black, u(0.25)));
            m_painter.drawRect(box(px, py, pw, ph));
            text(box(px, py, pw, ph), Qt::AlignCenter, QString::number(page.number),
                 font(std::clamp(std::min(pw, ph) * 1.2, 5.0, 12.0), true));
        }
    }

    // --- chart pages ---------------------------------------------------------------------

    void pageHeader(const QString& second) {
        const double width = contentWidth();
        // A long title gives way to the page number.
        text(box(kMargin, kMargin, width, 5), Qt::AlignLeft | Qt::AlignVCenter,
             elided(title(), font(10, true), width - 45), font(10, true));
        text(box(kMargin, kMargin, width, 5), Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("pagina %1 di %2").arg(m_page).arg(m_plan.pageCount), font(10, true));
        text(box(kMargin, kMargin + 5.5, width, 5), Qt::AlignLeft | Qt::AlignVCenter, second,
             font(8));
    }

    QString chartPageLine(const ChartPage& page) const {
        QString line = QStringLiteral("colonne %1, righe %2")
                           .arg(range(page.columns.first + 1, page.columns.end()),
                                range(page.rows.first + 1, page.rows.end()));
        QStringList repeated;
        if (page.columns.repeated > 0)
            repeated +=
                QStringLiteral("le colonne %1 della pagina %2")
                    .arg(range(page.columns.first + 1, page.columns.first + page.columns.repeated))
                    .arg(m_plan.chart.page(page.across - 1, page.down).number);
        if (page.rows.repeated > 0)
            repeated += QStringLiteral("le righe %1 della pagina %2")
                            .arg(range(page.rows.first + 1, page.rows.first + page.rows.repeated))
                            .arg(m_plan.chart.page(page.across, page.down - 1).number);
        if (!repeated.isEmpty())
            line +=
                QStringLiteral("; in grigio, ripetute: ") + repeated.join(QStringLiteral(" e "));
        return line;
    }

    void chartPage(const ChartPage& page) {
        ++m_page;
        pageHeader(chartPageLine(page));

        const double cell = m_plan.chart.cell;
        const ChartArea area = chartArea(m_pattern.paper);
        const Span& cols = page.columns;
        const Span& rws = page.rows;
        const double x0 = kMargin + kGutterBefore + (area.width - cell * cols.count) / 2;
        const double y0 = kMargin + kHeader + kGutterBefore;
        const double x1 = x0 + cell * cols.count;
        const double y1 = y0 + cell * rws.count;

        // Cells: the tint, shaded where repeated from a neighbour.
        const bool bw = m_pattern.blackAndWhite;
        std::array<QColor, 16> tints;
        for (std::size_t i = 0; i < m_pattern.colours.size() && i < tints.size(); ++i)
            tints[i] = bw ? QColor(Qt::white) : tint(m_pattern.colours[i], kTintShare);
        fillCells(x0, y0, cell, cols, rws, [&](int c, int r) {
            const int entry = m_pattern.grid.at(c, r);
            if (entry < 0)
                return QColor();
            const bool repeated = c < cols.first + cols.repeated || r < rws.first + rws.repeated;
            return repeated ? shaded(tints[std::size_t(entry)]) : tints[std::size_t(entry)];
        });

        // Letters, centred in their cells.
        const QFont letterFont = font(cell * 0.68 * 72 / 25.4);
        const QFontMetricsF metrics(letterFont, &m_pdf);
        std::array<QString, 16> letters;
        std::array<double, 16> offsets{};
        for (int i = 0; i < 16; ++i) {
            letters[std::size_t(i)] = pattern::letterFor(i);
            offsets[std::size_t(i)] =
                (u(cell) - metrics.horizontalAdvance(letters[std::size_t(i)])) / 2;
        }
        const double baseline = (u(cell) + metrics.capHeight()) / 2;
        m_painter.setFont(letterFont);
        m_painter.setPen(Qt::black);
        for (int r = 0; r < rws.count; ++r)
            for (int c = 0; c < cols.count; ++c) {
                const int entry = m_pattern.grid.at(cols.first + c, rws.first + r);
                if (entry < 0)
                    continue;
                m_painter.drawText(QPointF(u(x0 + c * cell) + offsets[std::size_t(entry)],
                                           u(y0 + r * cell) + baseline),
                                   letters[std::size_t(entry)]);
            }

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

        // Stitch numbers along the top and the left.
        const QFont numberFont = font(6);
        for (const int n : numberedLines(cols)) {
            const double x = x0 + (n - cols.first) * cell;
            text(box(x - 5, y0 - 3.4, 10, 3), Qt::AlignHCenter | Qt::AlignBottom,
                 QString::number(n), numberFont);
        }
        for (const int n : numberedLines(rws)) {
            const double y = y0 + (n - rws.first) * cell;
            text(box(x0 - 5.6, y - 1.5, 5, 3), Qt::AlignRight | Qt::AlignVCenter,
                 QString::number(n), numberFont);
        }

        // The design's centre, on all four edges.
        if (const auto at = centreOn(cols, columns())) {
            const double x = x0 + *at * cell;
            arrow(x, y0 - 3.8, 0, 1);
            arrow(x, y1 + 0.6, 0, -1);
        }
        if (const auto at = centreOn(rws, rows())) {
            const double y = y0 + *at * cell;
            arrow(x0 - 6.0, y, 1, 0);
            arrow(x1 + 0.6, y, -1, 0);
        }
    }

    // A filled triangle with its tip at (x, y), pointing along (dx, dy).
    void arrow(double x, double y, int dx, int dy) {
        constexpr double length = 2.8;
        constexpr double half = 1.4;
        QPainterPath path;
        path.moveTo(u(x), u(y));
        path.lineTo(u(x - dx * length - dy * half), u(y - dy * length - dx * half));
        path.lineTo(u(x - dx * length + dy * half), u(y - dy * length + dx * half));
        path.closeSubpath();
        m_painter.fillPath(path, Qt::black);
    }

    // --- key -----------------------------------------------------------------------------

    void keyPage() {
        ++m_page;
        pageHeader(QStringLiteral("legenda: una riga per lettera, con il filo DMC più vicino"));
        const Key& key = m_pattern.key;
        const KeySettings& settings = m_pattern.settings;
        double y = kMargin + kHeader + 2;

        // Column starts and widths, from the left margin.
        struct Column {
            double x;
            double width;
            const char* heading;
            int align;
        };
        const int right = Qt::AlignRight | Qt::AlignVCenter;
        const int leftAlign = Qt::AlignLeft | Qt::AlignVCenter;
        const std::array<Column, 9> columns{{{0, 12, "Lettera", leftAlign},
                                             {13, 10, "Colore", leftAlign},
                                             {26, 18, "RGB", leftAlign},
                                             {45, 14, "DMC", leftAlign},
                                             {60, 50, "Nome", leftAlign},
                                             {110, 16, "Diff.", right},
                                             {128, 18, "Punti", right},
                                             {148, 16, "Metri", right},
                                             {166, 20, "Matasse", right}}};
        const auto at = [&](std::size_t column, double top, double height) {
            return box(kMargin + columns[column].x, top, columns[column].width, height);
        };
        for (std::size_t c = 0; c < columns.size(); ++c)
            text(at(c, y, 6), columns[c].align, QString::fromUtf8(columns[c].heading),
                 font(8, true));
        y += 6;
        line(kMargin, y, kMargin + contentWidth(), y, 0.3, Qt::black);
        y += 1.5;

        const double rowHeight = 9;
        const QFont letterFont = font(10);
        for (const KeyLine& entry : key.lines) {
            const threads::Thread& thread = m_pattern.threads.at(entry.thread.index);
            const double middle = y + rowHeight / 2;
            // The letter as the chart pages show it, then the colour itself.
            const QRectF letterBox = box(kMargin + columns[0].x + 1.5, middle - 3.5, 7, 7);
            m_painter.fillRect(letterBox, m_pattern.blackAndWhite ? QColor(Qt::white)
                                                                  : tint(entry.colour, kTintShare));
            m_painter.setPen(QPen(kThinLine, u(kThinWidth)));
            m_painter.setBrush(Qt::NoBrush);
            m_painter.drawRect(letterBox);
            text(letterBox, Qt::AlignCenter, pattern::letterFor(entry.entry), letterFont);
            const QRectF swatch = box(kMargin + columns[1].x, middle - 3.5, 10, 7);
            m_painter.fillRect(swatch, toQColor(entry.colour));
            m_painter.setPen(QPen(Qt::black, u(kThinWidth)));
            m_painter.drawRect(swatch);

            text(at(2, y, rowHeight), leftAlign, hexColour(entry.colour), font(8));
            text(at(3, y, rowHeight), leftAlign, thread.number, font(9, true));
            QStringList remarks;
            if (entry.sameThreadAs >= 0)
                remarks +=
                    QStringLiteral("stesso filo di %1").arg(pattern::letterFor(entry.sameThreadAs));
            if (entry.stitches == 0)
                remarks += QStringLiteral("non usato");
            if (!remarks.isEmpty()) {
                text(at(4, y, rowHeight / 2 + 0.5), Qt::AlignLeft | Qt::AlignBottom, thread.name,
                     font(8));
                text(at(4, y + rowHeight / 2 + 0.5, rowHeight / 2 - 0.5),
                     Qt::AlignLeft | Qt::AlignTop, remarks.join(QStringLiteral(", ")), font(7),
                     QColor(0x40, 0x40, 0x40));
            } else {
                text(at(4, y, rowHeight), leftAlign, thread.name, font(8));
            }
            text(at(5, y, rowHeight), right,
                 number(entry.thread.difference, 1) +
                     (entry.approximate() ? QStringLiteral(" ≈") : QString()),
                 font(8));
            text(at(6, y, rowHeight), right, m_locale.toString(entry.stitches), font(9));
            text(at(7, y, rowHeight), right, number(entry.need.metres, 1), font(9));
            text(at(8, y, rowHeight), right, QString::number(entry.need.skeins), font(9, true));
            y += rowHeight;
            line(kMargin, y, kMargin + contentWidth(), y, kThinWidth, kThinLine);
        }
        y += 1;
        text(at(4, y, rowHeight), leftAlign,
             QStringLiteral("Totale: %1 colori, %2 fili").arg(key.coloursUsed).arg(key.threadsUsed),
             font(9, true));
        text(at(6, y, rowHeight), right, m_locale.toString(key.stitches), font(9, true));
        text(at(7, y, rowHeight), right, number(key.metres, 1), font(9, true));
        text(at(8, y, rowHeight), right, QString::number(key.skeins), font(9, true));
        y += rowHeight + 4;

        const int fabric = settings.fabric;
        const int strands = settings.strands;
        const double side = 25.4 / fabric;
        const double cross = (2 * std::sqrt(2.0) + 2) * side;
        const double perCross = threads::metresPerCross(fabric) * 1000;
        const double perSkein = threads::metresPerSkein(strands);
        QStringList notes{
            QStringLiteral(
                "Filo per punto: una croce intera fa le due diagonali del quadretto sul davanti "
                "e circa due lati sul retro, (2 × 1,414 + 2) × lato = 4,83 lati. Con %1 punti per "
                "pollice il lato è 25,4 mm ÷ %1 = %2 mm e una croce prende %3 mm di filo; con la "
                "metà in più per iniziare e finire i fili e per passare da un punto all'altro, "
                "%4 mm per punto.")
                .arg(fabric)
                .arg(number(side, 2), number(cross, 1), number(perCross, 1)),
            QStringLiteral(
                "Metri = punti × %1 mm, di filo a %2 %3. Una matassa DMC è di %4 m a %5 capi, "
                "cioè %6 m di filo a %2 %3: matasse = metri ÷ %6, arrotondate per eccesso. Le "
                "lettere sullo stesso filo ne dividono le matasse nel totale.")
                .arg(number(perCross, 1))
                .arg(strands)
                .arg(strands == 1 ? QStringLiteral("capo") : QStringLiteral("capi"))
                .arg(number(threads::kSkeinMetres, 0))
                .arg(threads::kSkeinStrands)
                .arg(number(perSkein, 1)),
            QStringLiteral(
                "Diff.: la differenza di colore CIEDE2000 tra il colore scelto e il filo: sotto "
                "1 non si vede, fino a 2 appena, oltre %1 (≈) il filo è solo un'approssimazione "
                "e va confrontato con il colore voluto.")
                .arg(number(threads::kApproximateAbove, 0)),
        };
        if (m_pattern.snapped)
            notes += QStringLiteral(
                "Lo schema usa i colori dei fili al posto di quelli scelti; due lettere sullo "
                "stesso filo hanno lo stesso colore e le loro celle vanno tutte alla prima.");
        for (const QString& note : notes)
            y += paragraph(kMargin, y, contentWidth(), note, font(8.5)) + 2.5;
    }

    QPdfWriter& m_pdf;
    QPainter& m_painter;
    const Pattern& m_pattern;
    const DocumentPlan m_plan;
    const PaperSize m_paper;
    const QLocale m_locale;
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
