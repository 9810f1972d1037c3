#include "pdfpages.h"
#include "runtime/colour.h"
#include "threads/threadtable.h"

#include <QFontMetricsF>
#include <QPdfWriter>
#include <QPen>
#include <QStringList>
#include <array>

namespace trameda::document::pdfpages {

namespace {

struct Column {
    double x;
    double width;
    const char* heading;
    int align;
};
constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr int kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr std::array<Column, 8> kKeyColumns{{{0, 14, "Simbolo", kLeft},
                                             {16, 10, "Colore", kLeft},
                                             {29, 21, "Filo", kLeft},
                                             {51, 58, "Nome", kLeft},
                                             {110, 16, "Diff.", kRight},
                                             {128, 18, "Punti", kRight},
                                             {148, 16, "Metri", kRight},
                                             {166, 20, "Matasse", kRight}}};

} // namespace

QRectF Writer::keyCell(std::size_t column, double top, double height) {
    return box(kMargin + kKeyColumns[column].x, top, kKeyColumns[column].width, height);
}

QFont Writer::fitting(const QString& text, double points, bool bold, double width) const {
    QFont f = font(points, bold);
    const double wide = QFontMetricsF(f, &m_pdf).horizontalAdvance(text);
    if (wide > u(width))
        f.setPointSizeF(points * u(width) / wide);
    return f;
}

double Writer::keyPageTop() {
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

void Writer::keyRow(const KeyLine& entry, double y) {
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
    text(cellBox, Qt::AlignCenter, m_symbols[index], symbolFont(side * 0.75 * 72 / 25.4), look.ink);
    const QRectF swatch = box(kMargin + kKeyColumns[1].x, middle - side / 2, 10, side);
    m_painter.fillRect(swatch, toQColor(entry.colour));
    m_painter.setPen(QPen(Qt::black, u(kThinWidth)));
    m_painter.drawRect(swatch);

    const QString code = m_pattern.brand + u' ' + thread.number;
    text(keyCell(2, y, kKeyRow), kLeft, code, fitting(code, 9, true, kKeyColumns[2].width - 1));
    QString name = thread.name;
    if (entry.also && m_pattern.alsoTable)
        name += QStringLiteral(" (%1 %2 più vicino per colore)")
                    .arg(m_pattern.alsoBrand, m_pattern.alsoTable->at(entry.also->index).number);
    if (entry.sameThreadAs >= 0)
        name +=
            QStringLiteral(" (stesso filo di %1)").arg(m_symbols[std::size_t(entry.sameThreadAs)]);
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

void Writer::keyPages() {
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

void Writer::keyNotes(double y) {
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

} // namespace trameda::document::pdfpages
