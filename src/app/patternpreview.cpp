#include "patternpreview.h"

#include "document/symbols.h"

#include <QPainter>
#include <QStaticText>
#include <QWheelEvent>

namespace trameda {

namespace {

// The preview's image stays within this many pixels, whatever the zoom.
constexpr qint64 kMaxPreviewPixels = qint64(16) << 20;

} // namespace

void PatternPreview::show(const stitching::StitchGrid* grid, std::vector<QRgb> colours,
                          std::vector<QString> symbols, int cell) {
    m_image = QImage();
    if (grid && !colours.empty()) {
        const int columns = grid->columns();
        const int rows = grid->rows();
        while (cell > 1 && qint64(columns) * cell * rows * cell > kMaxPreviewPixels)
            --cell;
        // A failed allocation leaves a null image: the preview stays blank, nothing breaks.
        m_image = QImage(columns * cell, rows * cell, QImage::Format_RGB32);
    }
    if (!m_image.isNull()) {
        m_image.fill(Qt::white);
        QPainter painter(&m_image);
        const int columns = grid->columns();
        for (int r = 0; r < grid->rows(); ++r)
            for (int c = 0; c < columns; ++c) {
                const int entry = grid->at(c, r);
                if (entry >= 0 && std::size_t(entry) < colours.size())
                    painter.fillRect(c * cell, r * cell, cell, cell, QColor(colours[entry]));
            }
        if (cell >= kSymbolCell) {
            QFont font(document::symbolFontFamily());
            font.setPixelSize(cell * 3 / 4);
            painter.setFont(font);
            std::vector<QStaticText> texts;
            for (const QString& symbol : symbols) {
                texts.emplace_back(symbol);
                texts.back().prepare(QTransform(), font);
            }
            painter.setPen(QColor(0xC0, 0xC0, 0xC0));
            for (int c = 0; c <= columns; ++c)
                painter.drawLine(c * cell, 0, c * cell, m_image.height());
            for (int r = 0; r <= grid->rows(); ++r)
                painter.drawLine(0, r * cell, m_image.width(), r * cell);
            for (int r = 0; r < grid->rows(); ++r)
                for (int c = 0; c < columns; ++c) {
                    const int entry = grid->at(c, r);
                    if (entry < 0 || std::size_t(entry) >= texts.size())
                        continue;
                    const QStaticText& text = texts[std::size_t(entry)];
                    const QSizeF size = text.size();
                    painter.setPen(document::inkOn(QColor(colours[std::size_t(entry)])));
                    painter.drawStaticText(QPointF(c * cell + (cell - size.width()) / 2,
                                                   r * cell + (cell - size.height()) / 2),
                                           text);
                }
        }
    }
    resize(m_image.size());
    update();
}

void PatternPreview::wheelEvent(QWheelEvent* event) {
    // Without Ctrl the wheel scrolls, as everywhere else.
    const int steps = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    if (!(event->modifiers() & Qt::ControlModifier) || steps == 0) {
        event->ignore();
        return;
    }
    Q_EMIT zoomed(steps);
    event->accept();
}

void PatternPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

} // namespace trameda
