#pragma once

// The pattern dialog's preview: the pattern as it will be stitched.

#include "stitching/stitchgrid.h"

#include <QImage>
#include <QRgb>
#include <QString>
#include <QWidget>
#include <vector>

namespace trameda {

// The pattern drawn as it will be stitched, a cell per stitch, with the chart's symbols once the
// cells are large enough to read them. Drawn once into an image, which painting only copies.
class PatternPreview : public QWidget {
    Q_OBJECT
public:
    // From this many pixels a cell the preview shows its symbol.
    static constexpr int kSymbolCell = 12;

    using QWidget::QWidget;
    // `symbols` by entry, as the pattern's pages mark them; an empty `colours` shows nothing.
    void show(const stitching::StitchGrid* grid, std::vector<QRgb> colours,
              std::vector<QString> symbols, int cell);
    QSize sizeHint() const override { return m_image.size(); }

Q_SIGNALS:
    // Ctrl and the wheel over the pattern: `steps` notches in (positive) or out.
    void zoomed(int steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QImage m_image;
};

} // namespace trameda
