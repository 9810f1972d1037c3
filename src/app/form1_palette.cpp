// The window's palette: swatches and pickers, the automatic palette, palette files.
#include "form1.h"
#include "palette/autopalette.h"
#include "palette/colfile.h"
#include "palette/colourchart.h"
#include "runtime/numbers.h"
#include "files/safewrite.h"
#include "runtime/twips.h"
#include "threads/threadtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QLocale>
#include <QToolTip>

namespace trameda {

namespace {

// Where the chart opens, over the swatches, and where the palette list covers the file buttons.
constexpr int kChartLeft = 1500;
constexpr int kChartTop = 1800;
constexpr int kListLeft = 1680;
constexpr int kListTop = 3720;

// Runs `action` when the watched control loses the focus to another control of the window.
// Leaving the window as a whole, or opening a context menu, is no loss of focus.
class FocusLoss : public QObject {
public:
    FocusLoss(QWidget* watched, std::function<void()> action)
        : QObject(watched), m_action(std::move(action)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                m_action();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

// Runs `action` when the mouse is pressed anywhere in the watched control's window but on the
// control itself. The palette list covers "Carica colori", so a mouse cannot give that button
// its second click; a press beside the list puts it away instead.
class PressBeside : public QObject {
public:
    PressBeside(QWidget* watched, std::function<void()> action)
        : QObject(watched), m_watched(watched), m_action(std::move(action)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress && m_watched->isVisible()) {
            const auto* widget = qobject_cast<const QWidget*>(target);
            if (widget && widget->window() == m_watched->window() && widget != m_watched &&
                !m_watched->isAncestorOf(widget))
                m_action();
        }
        return QObject::eventFilter(target, event);
    }

private:
    QWidget* m_watched;
    std::function<void()> m_action;
};

// A swatch's tooltip names the DMC thread nearest to its colour, found when the tip is asked
// for, so that it always follows the swatch's colour of the moment.
class NearestThreadTip : public QObject {
public:
    explicit NearestThreadTip(Swatch* swatch) : QObject(swatch), m_swatch(swatch) {
        swatch->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip)
            return QObject::eventFilter(watched, event);
        QString tip;
        try {
            tip = nearestThread(m_swatch->BackColor());
        } catch (...) {
            // Without its table (no memory for it) a swatch simply has no tip.
        }
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, m_swatch);
        return true;
    }

private:
    static QString nearestThread(Colour c) {
        const threads::ThreadTable& dmc = threads::ThreadTable::forBrand(threads::Brand::Dmc);
        const QRgb colour = toQRgb(c);
        const threads::ThreadMatch match = dmc.nearest({&colour, 1}).front();
        const threads::Thread& thread = dmc.at(match.index);
        return QStringLiteral("Filo più vicino: %1 %2 %3 \u00B7 \u0394E %4")
            .arg(threads::brandName(threads::Brand::Dmc), thread.number, thread.name,
                 QLocale(QLocale::Italian).toString(match.difference, 'f', 1));
    }

    Swatch* m_swatch;
};

palette::Colours swatchColours(const std::array<Swatch*, 16>& swatches) {
    palette::Colours colours{};
    for (std::size_t i = 0; i < swatches.size(); ++i)
        colours[i] = swatches[i]->BackColor();
    return colours;
}

} // namespace

void Form1::preparePalette() {
    // The chart is drawn once into the box's image, which stays while the box is hidden.
    Picture2->Cls();
    Picture2->drawImage(QPoint(0, 0), palette::colourChart());

    Text3->setReadOnly(true);
    Text3->setFocusPolicy(Qt::NoFocus);

    try {
        File2->setPath(QDir::currentPath());
    } catch (const RuntimeError&) {
        // A current folder that has gone away lists nothing; saving there fails on its own.
    }

    for (Swatch* swatch : Label1)
        new NearestThreadTip(swatch);
    for (int i = 0; i < 16; ++i)
        connect(Label1[std::size_t(i)], &Swatch::mouseDown, this,
                [this, i](int button, int shift, double x, double y) {
                    run([&] { Label1_MouseDown(i, button, shift, x, y); });
                });
    for (int i = 0; i < 2; ++i) {
        connect(Picture1[std::size_t(i)], &PictureBox::mouseMove, this,
                [this, i](int button, int shift, double x, double y) {
                    run([&] { Picture1_MouseMove(i, button, shift, x, y); });
                });
        connect(Picture1[std::size_t(i)], &PictureBox::mouseUp, this,
                [this, i](int button, int shift, double x, double y) {
                    run([&] { Picture1_MouseUp(i, button, shift, x, y); });
                });
    }
    connect(Picture2, &PictureBox::mouseMove, this,
            [this](int button, int shift, double x, double y) {
                run([&] { Picture2_MouseMove(button, shift, x, y); });
            });
    connect(Picture2, &PictureBox::mouseUp, this,
            [this](int button, int shift, double x, double y) {
                run([&] { Picture2_MouseUp(button, shift, x, y); });
            });
    connect(Text1, &QLineEdit::textChanged, this, [this] { run([this] { Text1_Change(); }); });
    new FocusLoss(Text1, [this] { run([this] { Text1_LostFocus(); }); });
    connect(Command7, &QPushButton::clicked, this, [this] { run([this] { Command7_Click(); }); });
    connect(Command3, &QPushButton::clicked, this, [this] { run([this] { Command3_Click(); }); });
    connect(Command4, &QPushButton::clicked, this, [this] { run([this] { Command4_Click(); }); });
    connect(File2, &FileListBox::fileClicked, this, [this] { run([this] { File2_Click(); }); });
    new PressBeside(File2, [this] { File2->setVisible(false); });
}

// ---------------------------------------------------------------------------------------------
// Swatches and pickers

void Form1::Label1_MouseDown(int Index, int Button, int, double, double) {
    if (aperto == 1)
        return; // a picker is open: it closes only by taking a colour
    if (Button == 1) {
        campione = Index;
        Picture2->setVisible(true);
        Picture2->raise();
        twips::setLeft(Picture2, kChartLeft);
        twips::setTop(Picture2, kChartTop);
        // The whole palette as a strip below the chart, so one swatch can copy another.
        for (std::size_t i = 0; i < Label1.size(); ++i)
            Picture2->Line(100 + 450 * double(i), 3000, 400 + 450 * double(i), 3300,
                           Label1[i]->BackColor(), LineForm::BoxFilled);
        aperto = 1;
    } else if (Button == 2) {
        campione = Index;
        Picture1[1]->setVisible(true);
        Picture1[1]->raise();
        aperto = 1;
    }
}

void Form1::Picture2_MouseMove(int, int, double X, double Y) {
    viscol(X, Y, Picture2->Point(X, Y));
}

void Form1::Picture1_MouseMove(int Index, int, int, double X, double Y) {
    if (Index == 1)
        viscol(X, Y, Picture1[1]->Point(X, Y));
}

void Form1::viscol(double, double, Colour c) {
    if (c == NoColour)
        return; // the pointer has left the picker's image, held there by a pressed button
    Text3->setVisible(true);
    Text3->setText(QString());
    QPalette patch = Text3->palette();
    patch.setColor(QPalette::Base, toQColor(c));
    Text3->setPalette(patch);
    twips::setLeft(Text3, 0);
    twips::setTop(Text3, 0);
}

void Form1::Picture2_MouseUp(int, int, double X, double Y) {
    const Colour c = Picture2->Point(X, Y);
    if (c != NoColour)
        Label1[std::size_t(campione)]->setBackColor(c);
    Picture2->setVisible(false);
    Text3->setVisible(false);
    aperto = 0;
}

// Either surface: both share the source picture's scale, so the chart surface stands in for it.
void Form1::Picture1_MouseUp(int, int, int, double X, double Y) {
    const Colour c = Picture1[1]->Point(X, Y);
    if (c != NoColour)
        Label1[std::size_t(campione)]->setBackColor(c);
    Picture1[1]->setVisible(false);
    Text3->setVisible(false);
    aperto = 0;
}

// ---------------------------------------------------------------------------------------------
// Number of colours in use

void Form1::Text1_Change() {
    Command2->setText(QStringLiteral("Converti a") + Str(Val(Text1->text())) +
                      QStringLiteral(" colori"));
}

void Form1::Text1_LostFocus() {
    if (Val(Text1->text()) > 16)
        Text1->setText(QStringLiteral("16"));
    if (Val(Text1->text()) < 1)
        Text1->setText(QStringLiteral("1"));
}

// ---------------------------------------------------------------------------------------------
// Automatic palette

void Form1::Command7_Click() {
    const palette::AutoPaletteOptions options{Check4->isChecked(), Check5->isChecked()};
    for (Swatch* swatch : Label1)
        swatch->setBackColor(QBColor(15));
    palette::AutoPaletteBins bins;
    const palette::AutoPalette chosen = palette::autoPalette(*Picture1[1], options, &bins);
    conta = bins.conta;
    tinte = bins.tinte;
    for (std::size_t i = 0; i < Label1.size(); ++i)
        Label1[i]->setBackColor(chosen.swatches[i]);
    Text1->setText(QString::number(chosen.count));
    Beep();
}

// ---------------------------------------------------------------------------------------------
// Palette files, in the current folder

void Form1::Command3_Click() {
    // Without a name the file would be ".col": hidden, and never in the palette list.
    if (QFileInfo(Text2->text()).fileName().isEmpty()) {
        dialogs().showError(this, QStringLiteral("Scrivere il nome dei colori nella casella "
                                                 "accanto a \u201CSalva colori\u201D: nessun "
                                                 "file è stato scritto."));
        return;
    }
    const QString name = Text2->text() + QStringLiteral(".col");
    const QFileInfo existing(name);
    // Only a file with something in it is worth a question; an empty one is replaced.
    if (existing.isFile() && existing.size() > 0 &&
        !dialogs().askYesNo(this, QStringLiteral("File già esistente. Sovrascrivere?")))
        return;

    const QString target = Text2->text() + QStringLiteral(".col");
    const QByteArray bytes = palette::writeColFile(swatchColours(Label1));
    const Failure why = writeFileSafely(
        target, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); });
    if (why)
        dialogs().showError(
            this, QStringLiteral("Impossibile salvare i colori nel file \u201C%1\u201D: "
                                 "%2. Un file con quel nome, se c'era, è rimasto com'era.")
                      .arg(target, *why));
}

void Form1::Command4_Click() {
    // A second click puts the list away unused, also when it lists nothing to click.
    if (!File2->isHidden()) {
        File2->setVisible(false);
        return;
    }
    File2->setVisible(true);
    File2->refresh();
    File2->raise();
    twips::setLeft(File2, kListLeft);
    twips::setTop(File2, kListTop);
}

void Form1::Form_KeyDown(int key) {
    if (key == Qt::Key_Escape)
        File2->setVisible(false); // the palette list, put away unused
}

void Form1::File2_Click() {
    const QString fileName = File2->fileName();
    const palette::ColFileRead read = palette::readColFile(QDir(File2->path()).filePath(fileName));
    File2->setVisible(false);
    if (!read.ok()) {
        dialogs().showError(this, palette::describeFailure(read, fileName));
        return;
    }
    Text2->setText(fileName.left(std::max<qsizetype>(0, fileName.size() - 4)));
    for (std::size_t i = 0; i < Label1.size(); ++i)
        Label1[i]->setBackColor(read.colours[i]);
}

} // namespace trameda
