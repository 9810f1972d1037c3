#pragma once

#include "colour.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <QStaticText>
#include <functional>
#include <map>
#include <optional>

namespace trameda {

enum class LineForm {
    Line,     // a straight line DrawWidth pixels wide
    Box,      // the outline of the box with these corners
    BoxFilled // that box filled, outline included
};

// Drawing in a user scale, shared by the picture boxes and the printer. Coordinates run from 0
// at the left and top to ScaleWidth and ScaleHeight at the right and bottom of the device area.
// Until a scale is set, one unit is one twip (15 to a screen pixel).
class DrawingSurface {
public:
    virtual ~DrawingSurface();

    double ScaleWidth() const;
    double ScaleHeight() const;
    void setScaleWidth(double width);
    void setScaleHeight(double height);

    int DrawWidth() const { return m_drawWidth; }
    void setDrawWidth(int pixels);

    Colour ForeColor() const { return m_foreColor; }
    void setForeColor(Colour c) { m_foreColor = c; }

    double FontSize() const { return m_fontSize; }
    void setFontSize(double points);

    double CurrentX() const { return m_currentX; }
    double CurrentY() const { return m_currentY; }
    void setCurrentX(double x) { m_currentX = x; }
    void setCurrentY(double y) { m_currentY = y; }

    void Line(double x1, double y1, double x2, double y2, Colour c, LineForm form = LineForm::Line);
    // Text in ForeColor with its top left at (CurrentX, CurrentY); moves to the next line.
    void Print(const QString& text);

    // Device pixel of a position in the user scale (floor of the exact position).
    QPoint toDevice(double x, double y) const;
    QPointF toScale(QPointF device) const;

    // The font face of printed text; any plain face serves.
    static QString fontFamily();

protected:
    // The drawable area in device pixels and how many of them make an inch.
    virtual QSize deviceSize() const = 0;
    virtual double dotsPerInch() const = 0;
    // A painter begun on the device, set to aliased drawing.
    virtual QPainter& painter() = 0;
    // Called after every drawing operation.
    virtual void drawn() {}

private:
    bool m_userScale = false;
    double m_scaleWidth = 0;
    double m_scaleHeight = 0;
    int m_drawWidth = 1;
    Colour m_foreColor = 0;
    double m_fontSize = 8.25;
    double m_currentX = 0;
    double m_currentY = 0;
    struct TextCache {
        QFont font;
        double lineHeight = 0;
        std::map<QString, QStaticText> laidOut;
    };
    std::optional<TextCache> m_text;
};

// A surface whose drawing persists in an image: it survives covering and hiding, and Point
// reads it back at any time.
class ImageSurface : public DrawingSurface {
public:
    static constexpr double kScreenDpi = 96.0; // 15 twips to the pixel

    ImageSurface();
    ~ImageSurface() override;
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    // Keeps what is drawn at the top left; new area shows BackColor. Throws std::bad_alloc, and
    // keeps the image as it was, when the memory for the new size cannot be had.
    void resizeImage(QSize pixels);
    const QImage& image() const { return m_image; }
    // The image to keep or write out. Painting is ended first: Qt copies an image whole while a
    // painter is active on it, and this copy shares the pixels instead.
    QImage finishedImage();

    Colour BackColor() const { return m_backColor; }
    void setBackColor(Colour c) { m_backColor = c; }

    // Colour of the pixel at (x, y) in the user scale; -1 outside the image.
    Colour Point(double x, double y) const;
    // Fills the image with BackColor and puts the current position at the top left.
    void Cls();
    // Paints the image `scaled` makes at the size of the box (x, y)-(x + width, y + height)
    // over it; nothing when the box covers no pixel. picture::PaintPicture() paints a picture.
    void PaintScaled(double x, double y, double width, double height,
                     const std::function<QImage(QSize)>& scaled);
    // Draws an image at its natural size with its top left at device pixel `at`.
    void drawImage(QPoint at, const QImage& image);

    // Called after every change of the image, to schedule a repaint of whatever shows it.
    void setChangedCallback(std::function<void()> callback) { m_changed = std::move(callback); }

protected:
    QSize deviceSize() const override { return m_image.size(); }
    double dotsPerInch() const override { return kScreenDpi; }
    QPainter& painter() override;
    void drawn() override;

private:
    void endPainting();

    QImage m_image;
    Colour m_backColor = 0xFFFFFF;
    QPainter m_painter;
    std::function<void()> m_changed;
};

} // namespace trameda
