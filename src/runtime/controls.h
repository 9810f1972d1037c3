#pragma once

#include "colour.h"
#include "picture/picture.h"
#include "surface.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

class QMouseEvent;

namespace trameda {

// Mouse arguments as the handlers take them: Button 1 left, 2 right, 4 middle (a MouseMove
// carries the buttons held); Shift 1 shift, 2 ctrl, 4 alt.
int mouseButton(Qt::MouseButton button);
int mouseButtons(Qt::MouseButtons buttons);
int shiftState(Qt::KeyboardModifiers modifiers);

// A picture box: a sunken frame around a persistent image in a user scale. The widget only shows
// the image; all drawing goes to the image, also while the box is hidden.
class PictureBox : public QFrame, public ImageSurface {
    Q_OBJECT
public:
    static constexpr int kBorder = 2;
    static constexpr Colour kBlankColour = trameda::kBlankColour;

    explicit PictureBox(QWidget* parent = nullptr);

    // Place and size in twips; the image follows at once, shown or not.
    void setGeometryTwips(int left, int top, int width, int height);
    int Width() const;
    int Height() const;
    void setWidth(int twips);
    void setHeight(int twips);

Q_SIGNALS:
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void followGeometry();
    QPointF scalePosition(const QMouseEvent* event) const;
};

// A palette swatch: a label whose background colour is its value.
class Swatch : public QLabel {
    Q_OBJECT
public:
    explicit Swatch(QWidget* parent = nullptr);

    Colour BackColor() const { return m_colour; }
    void setBackColor(Colour c);

Q_SIGNALS:
    void mouseDown(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Colour m_colour = 0;
};

// The picture holder: keeps the loaded picture and shows it fitted into its frame.
class ImageBox : public QLabel {
    Q_OBJECT
public:
    explicit ImageBox(QWidget* parent = nullptr);

    const trameda::Picture& picture() const { return m_picture; }
    void setPicture(const trameda::Picture& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    trameda::Picture m_picture;
};

// A list of the files of one folder whose names match a pattern such as "*.jpg;*.gif;*.bmp"
// (letter case ignored), sorted by name. `fileClicked` is raised whenever an entry becomes
// selected (by the mouse, or by the keys moving the selection) and when the selected entry is
// clicked again; taking the focus selects nothing.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Throws RuntimeError(PathNotFound) when `path` is not a folder. Clears the selection.
    void setPath(const QString& path);
    QString pattern() const { return m_pattern; }
    void setPattern(const QString& pattern);
    // The selected entry's name without folder, empty while none is selected.
    QString fileName() const;
    void refresh();

Q_SIGNALS:
    void fileClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    bool m_changedDuringPress = false;
};

// A command button whose caption breaks at its spaces, so that a tall narrow button shows its
// spaced letters one under another.
class WrappingButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A rectangle drawn on the window behind the controls.
class Shape : public QFrame {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent = nullptr);
};

// Sets a scroll bar's value as code does: a value outside Min..Max is refused with a
// RuntimeError(InvalidProperty); a new value raises the bar's change at once.
void assignValue(QScrollBar* bar, int value);

} // namespace trameda
