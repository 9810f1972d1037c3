#pragma once

// The pattern PDF's page writer and the drawing it shares between its kinds of page. Each kind
// is drawn in a file of its own: the cover and the map of the chart pages in patterncover.cpp,
// the chart pages in patternpdf.cpp, the key in patternkey.cpp. Not part of the document's
// interface: only writePatternPdf() makes a writer.

#include "key.h"
#include "layout.h"
#include "patternpdf.h"
#include "stitching/stitchgrid.h"
#include "threads/skeins.h"

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <cstddef>
#include <vector>

class QPdfWriter;

namespace trameda::document::pdfpages {

inline constexpr int kResolution = 1200; // device units per inch; the PDF itself is vector

// Each filled run reaches this far under its right and lower neighbours, which are drawn after
// it: rectangles that only touch leave a pale seam in viewers that smooth edges.
inline constexpr double kFillOverlap = 0.08;
inline const QColor kThinLine(0x80, 0x80, 0x80);
inline constexpr double kThinWidth = 0.1;

// How a cell of an entry is drawn: its fill (none on a black and white page) and its symbol.
struct CellLook {
    QColor fill;
    QColor ink;
};

// "3" or "3–7".
QString range(int first, int last);

class Writer {
public:
    Writer(QPdfWriter& pdf, QPainter& painter, const Pattern& pattern);

    void write();

private:
    // Millimetres to device units.
    static double u(double mm) { return mm * kResolution / 25.4; }
    static QRectF box(double x, double y, double w, double h) { return {u(x), u(y), u(w), u(h)}; }

    QFont font(double points, bool bold = false) const;
    // The symbols' font, with no stand-in from another font for a glyph it lacks.
    static QFont symbolFont(double points);

    void text(const QRectF& where, int flags, const QString& text, const QFont& f,
              const QColor& colour = Qt::black);
    QString elided(const QString& text, const QFont& f, double width) const;
    // Wrapped text from (x, y), `width` wide; returns the height it took.
    double paragraph(double x, double y, double width, const QString& text, const QFont& f);
    void line(double x1, double y1, double x2, double y2, double width, const QColor& colour);

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
    QString fabricName() const;

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

    // --- cover (patterncover.cpp) ----------------------------------------------------------

    QColor chartColour(int column, int row) const;
    void cover();
    // How the pieces of the chart tile the design, each at its place, within `width` x
    // `height`. With `current` 0, each is numbered with its page; otherwise the pieces on page
    // `current` are dark and the rest pale, unnumbered.
    void pageMap(double x, double y, double width, double height, int current);

    // --- chart pages (patternpdf.cpp) -------------------------------------------------------

    // The map of where the page lies takes the header's right end.
    static constexpr double kHeaderMapWidth = 30;

    void pageHeader(const QString& second, bool withMap);
    QString tileLine(const Tile& tile) const;
    QString chartPageLine(const ChartPage& page) const;
    void chartPage(const ChartPage& page);
    void chartTile(const Tile& tile);
    // The symbol of every stitched cell, one glyph a cell, centred on its own shape.
    template <typename InkOf>
    void symbols(double x0, double y0, double cell, const Span& cols, const Span& rws,
                 InkOf&& inkOf);
    // A filled triangle with its tip at (x, y), pointing along (dx, dy).
    void arrow(double x, double y, int dx, int dy);

    // --- key (patternkey.cpp) ---------------------------------------------------------------

    static QRectF keyCell(std::size_t column, double top, double height);
    // The font of `points` (bold or not), made smaller as far as `text` needs to fit `width`:
    // a thread's number is never cut short, whatever its maker's numbers are like.
    QFont fitting(const QString& text, double points, bool bold, double width) const;
    // A key page's header and column headings; returns where the first row goes.
    double keyPageTop();
    void keyRow(const KeyLine& entry, double y);
    void keyPages();
    void keyNotes(double y);

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

} // namespace trameda::document::pdfpages
