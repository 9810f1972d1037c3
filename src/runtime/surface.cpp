#include "surface.h"

#include "runtimeerror.h"

#include <QFontMetricsF>
#include <cmath>
#include <new>

namespace trameda {

namespace {
constexpr double kTwipsPerInch = 1440.0;
// Keeps a position that is a whole pixel in exact arithmetic from falling one pixel short.
constexpr double kEpsilon = 1e-7;
} // namespace

DrawingSurface::~DrawingSurface() = default;

double DrawingSurface::ScaleWidth() const {
    return m_userScale ? m_scaleWidth : deviceSize().width() * kTwipsPerInch / dotsPerInch();
}

double DrawingSurface::ScaleHeight() const {
    return m_userScale ? m_scaleHeight : deviceSize().height() * kTwipsPerInch / dotsPerInch();
}

void DrawingSurface::setScaleWidth(double width) {
    if (width == 0 || !std::isfinite(width))
        throw RuntimeError(RuntimeError::InvalidProperty);
    if (!m_userScale)
        m_scaleHeight = ScaleHeight();
    m_userScale = true;
    m_scaleWidth = width;
}

void DrawingSurface::setScaleHeight(double height) {
    if (height == 0 || !std::isfinite(height))
        throw RuntimeError(RuntimeError::InvalidProperty);
    if (!m_userScale)
        m_scaleWidth = ScaleWidth();
    m_userScale = true;
    m_scaleHeight = height;
}

void DrawingSurface::setDrawWidth(int pixels) {
    if (pixels < 1 || pixels > 32767)
        throw RuntimeError(RuntimeError::InvalidProperty);
    m_drawWidth = pixels;
}

void DrawingSurface::setFontSize(double points) {
    if (!(points > 0) || points > 2160)
        throw RuntimeError(RuntimeError::InvalidProperty);
    m_fontSize = points;
    m_text.reset();
}

QString DrawingSurface::fontFamily() {
    return QStringLiteral("DejaVu Sans");
}

QPoint DrawingSurface::toDevice(double x, double y) const {
    const QSize size = deviceSize();
    const double dx = x * size.width() / ScaleWidth();
    const double dy = y * size.height() / ScaleHeight();
    const auto clampInt = [](double v) {
        return int(std::clamp(std::floor(v + kEpsilon), -1e9, 1e9));
    };
    return {clampInt(dx), clampInt(dy)};
}

QPointF DrawingSurface::toScale(QPointF device) const {
    const QSize size = deviceSize();
    if (size.isEmpty())
        return {};
    return {device.x() * ScaleWidth() / size.width(), device.y() * ScaleHeight() / size.height()};
}

void DrawingSurface::Line(double x1, double y1, double x2, double y2, Colour c, LineForm form) {
    if (deviceSize().isEmpty())
        return;
    QPoint a = toDevice(x1, y1);
    QPoint b = toDevice(x2, y2);
    QPainter& p = painter();
    const QColor colour = toQColor(c);
    switch (form) {
    case LineForm::Line: {
        QPen pen(colour, m_drawWidth);
        // Wide lines end round. Up to 3 pixels a square end covers the same pixels as near as
        // the eye can tell, and Qt draws it several times faster: a large chart has 80,000.
        pen.setCapStyle(m_drawWidth > 3 ? Qt::RoundCap : Qt::SquareCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.drawLine(a, b);
        break;
    }
    case LineForm::Box: {
        const QRect r = QRect::span(a, b);
        QPen pen(colour, m_drawWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        // A one-pixel outline of QRect(x, y, w, h) covers x .. x + w: both corners included.
        p.drawRect(QRect(r.topLeft(), QSize(r.width() - 1, r.height() - 1)));
        break;
    }
    case LineForm::BoxFilled:
        p.fillRect(QRect::span(a, b), colour);
        break;
    }
    drawn();
}

void DrawingSurface::Print(const QString& text) {
    const QSize size = deviceSize();
    if (!size.isEmpty()) {
        QPainter& p = painter();
        if (!m_text) {
            // Point sizes are taken at the device's own resolution: 96 dots to the inch on the
            // screen images, the printer's resolution on paper.
            QFont font(fontFamily());
            font.setPointSizeF(m_fontSize);
            font.setStyleStrategy(QFont::PreferAntialias);
            const QFontMetricsF metrics(font, p.device());
            m_text = TextCache{font, metrics.height(), {}};
        }
        p.setFont(m_text->font);
        p.setPen(toQColor(m_foreColor));
        // A chart prints the same few letters thousands of times: lay each out once.
        auto laidOut = m_text->laidOut.find(text);
        if (laidOut == m_text->laidOut.end()) {
            QStaticText staticText(text);
            staticText.setTextFormat(Qt::PlainText);
            staticText.setPerformanceHint(QStaticText::AggressiveCaching);
            staticText.prepare(QTransform(), m_text->font);
            laidOut = m_text->laidOut.emplace(text, staticText).first;
        }
        p.drawStaticText(toDevice(m_currentX, m_currentY), laidOut->second);
        m_currentY += m_text->lineHeight * ScaleHeight() / size.height();
        drawn();
    }
    m_currentX = 0;
}

// ---------------------------------------------------------------------------------------------

ImageSurface::ImageSurface() = default;

ImageSurface::~ImageSurface() {
    endPainting();
}

void ImageSurface::endPainting() {
    if (m_painter.isActive())
        m_painter.end();
}

QPainter& ImageSurface::painter() {
    if (!m_painter.isActive()) {
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    }
    return m_painter;
}

QImage ImageSurface::finishedImage() {
    endPainting();
    return m_image;
}

void ImageSurface::drawn() {
    if (m_changed)
        m_changed();
}

void ImageSurface::resizeImage(QSize pixels) {
    pixels = pixels.expandedTo(QSize(0, 0));
    if (pixels == m_image.size())
        return;
    endPainting();
    QImage resized;
    if (!pixels.isEmpty()) {
        resized = QImage(pixels, QImage::Format_RGB32);
        if (resized.isNull())
            throw std::bad_alloc(); // the surface keeps its image
        // 96 dots to the inch, so that point sizes of text come out as on the screen.
        resized.setDotsPerMeterX(3780);
        resized.setDotsPerMeterY(3780);
        resized.fill(toQRgb(m_backColor));
        if (!m_image.isNull()) {
            QPainter p(&resized);
            p.drawImage(0, 0, m_image);
        }
    }
    m_image = resized;
    drawn();
}

Colour ImageSurface::Point(double x, double y) const {
    if (m_image.isNull() || !std::isfinite(x) || !std::isfinite(y))
        return NoColour;
    const QPoint at = toDevice(x, y);
    if (!m_image.rect().contains(at))
        return NoColour;
    return fromQRgb(m_image.pixel(at));
}

void ImageSurface::Cls() {
    if (!m_image.isNull()) {
        endPainting();
        m_image.fill(toQRgb(m_backColor));
        drawn();
    }
    setCurrentX(0);
    setCurrentY(0);
}

void ImageSurface::PaintScaled(double x, double y, double width, double height,
                               const std::function<QImage(QSize)>& scaled) {
    if (m_image.isNull())
        return;
    const QPoint a = toDevice(x, y);
    const QPoint b = toDevice(x + width, y + height);
    const QRect target = QRect::span(a, b - QPoint(1, 1));
    if (target.isEmpty())
        return;
    drawImage(target.topLeft(), scaled(target.size()));
}

void ImageSurface::drawImage(QPoint at, const QImage& image) {
    if (m_image.isNull() || image.isNull())
        return;
    painter().drawImage(at, image);
    drawn();
}

} // namespace trameda
