#include "controls.h"

#include "runtimeerror.h"
#include "twips.h"

#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <new>

namespace trameda {

int mouseButton(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int mouseButtons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

// ---------------------------------------------------------------------------------------------

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackColor(kBlankColour);
    setChangedCallback([this] { update(); });
}

void PictureBox::setGeometryTwips(int left, int top, int width, int height) {
    twips::setGeometry(this, left, top, width, height);
    followGeometry();
}

int PictureBox::Width() const {
    return twips::width(this);
}

int PictureBox::Height() const {
    return twips::height(this);
}

void PictureBox::setWidth(int value) {
    twips::setWidth(this, value);
    followGeometry();
}

void PictureBox::setHeight(int value) {
    twips::setHeight(this, value);
    followGeometry();
}

void PictureBox::followGeometry() {
    // A hidden widget gets its resize event only when shown; the image must follow now.
    resizeImage(contentsRect().size());
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    try {
        followGeometry();
    } catch (const std::bad_alloc&) {
        // Nothing may be thrown across the event loop. The box keeps its image; a handler that
        // resized it follows the geometry again itself and reports the failure.
    }
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(contentsRect(), palette().window());
    p.drawImage(contentsRect().topLeft(), image());
    p.end();
    QFrame::paintEvent(event);
}

QPointF PictureBox::scalePosition(const QMouseEvent* event) const {
    return toScale(event->position() - QPointF(contentsRect().topLeft()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    QFrame::mousePressEvent(event);
    const QPointF at = scalePosition(event);
    Q_EMIT mouseDown(mouseButton(event->button()), shiftState(event->modifiers()), at.x(), at.y());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = scalePosition(event);
    Q_EMIT mouseMove(mouseButtons(event->buttons()), shiftState(event->modifiers()), at.x(),
                     at.y());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = scalePosition(event);
    Q_EMIT mouseUp(mouseButton(event->button()), shiftState(event->modifiers()), at.x(), at.y());
}

// ---------------------------------------------------------------------------------------------

Swatch::Swatch(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void Swatch::setBackColor(Colour c) {
    if (c != m_colour) {
        m_colour = c;
        update();
    }
}

void Swatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), toQColor(m_colour));
    // A thin dark edge keeps a white or grey swatch visible on the window.
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Swatch::mousePressEvent(QMouseEvent* event) {
    Q_EMIT mouseDown(mouseButton(event->button()), shiftState(event->modifiers()),
                     event->position().x() * twips::kPerPixel,
                     event->position().y() * twips::kPerPixel);
}

void Swatch::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT mouseUp(mouseButton(event->button()), shiftState(event->modifiers()),
                   event->position().x() * twips::kPerPixel,
                   event->position().y() * twips::kPerPixel);
}

// ---------------------------------------------------------------------------------------------

ImageBox::ImageBox(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::NoFocus);
}

void ImageBox::setPicture(const trameda::Picture& picture) {
    m_picture = picture;
    update();
}

void ImageBox::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    const QSize fitted =
        m_picture.proportions().scaled(size(), Qt::KeepAspectRatio).expandedTo({1, 1});
    QPainter p(this);
    try {
        p.drawImage(QPoint(0, 0), m_picture.scaled(fitted));
    } catch (const std::bad_alloc&) {
        // Short of memory the thumbnail stays blank until the next repaint.
    }
}

// ---------------------------------------------------------------------------------------------

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        m_changedDuringPress = true;
        if (row >= 0)
            Q_EMIT fileClicked();
    });
    connect(this, &QListWidget::itemClicked, this, [this] {
        // A click on the entry that was already selected selects nothing new.
        if (!m_changedDuringPress)
            Q_EMIT fileClicked();
    });
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    m_changedDuringPress = false;
    QListWidget::mousePressEvent(event);
}

void FileListBox::focusInEvent(QFocusEvent* event) {
    // The view makes its first entry current when the keyboard brings the focus to a list with
    // none; that would load a file nobody chose.
    const bool noneChosen = currentRow() < 0;
    const QSignalBlocker quiet(this);
    QListWidget::focusInEvent(event);
    if (noneChosen)
        setCurrentRow(-1);
}

void FileListBox::setPath(const QString& path) {
    const QFileInfo info(path);
    if (!info.isDir())
        throw RuntimeError(RuntimeError::PathNotFound, path);
    m_path = QDir::cleanPath(info.absoluteFilePath());
    refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    m_pattern = pattern;
    refresh();
}

QString FileListBox::fileName() const {
    // The current entry is the selected one; it becomes current before the view selects it.
    const QListWidgetItem* item = currentItem();
    return item ? item->text() : QString();
}

void FileListBox::refresh() {
    const QSignalBlocker quiet(this);
    clear();
    if (m_path.isEmpty())
        return;
    QDir dir(m_path);
    dir.setNameFilters(m_pattern.split(u';', Qt::SkipEmptyParts));
    // Every plain file that matches, as a file list shows them: a file that cannot be read is
    // still listed, and simply fails to load.
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(dir.entryList());
    setCurrentRow(-1);
}

// ---------------------------------------------------------------------------------------------

void WrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // One word to a line, whatever the button's width.
    const QString caption = option.text.split(u' ', Qt::SkipEmptyParts).join(u'\n');
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(rect(), Qt::AlignCenter, caption);
}

// ---------------------------------------------------------------------------------------------

Shape::Shape(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
}

void assignValue(QScrollBar* bar, int value) {
    if (value < bar->minimum() || value > bar->maximum())
        throw RuntimeError(RuntimeError::InvalidProperty);
    bar->setValue(value);
}

} // namespace trameda
