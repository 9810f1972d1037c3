#include "pdfpages.h"
#include "runtime/colour.h"

#include <QPen>
#include <QStringList>
#include <algorithm>

namespace trameda::document::pdfpages {

namespace {

QString pageRange(int first, int last) {
    return first == last ? QStringLiteral("a pagina %1").arg(first)
                         : QStringLiteral("alle pagine %1").arg(range(first, last));
}

} // namespace

QColor Writer::chartColour(int column, int row) const {
    const int entry = m_pattern.grid.at(column, row);
    return entry < 0 ? QColor() : toQColor(m_pattern.colours[std::size_t(entry)]);
}

void Writer::cover() {
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

void Writer::pageMap(double x, double y, double width, double height, int current) {
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

} // namespace trameda::document::pdfpages
