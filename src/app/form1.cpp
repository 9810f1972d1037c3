#include "form1.h"

#include "files/names.h"
#include "modulesfoglia.h"
#include "picture/sizes.h"
#include "picture/surfaces.h"
#include "picture/picture.h"
#include "runtime/colour.h"
#include "runtime/twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QStyleOptionButton>
#include <algorithm>
#include <climits>

namespace trameda {

namespace {

template <typename W> W* place(W* widget, int left, int top, int width, int height) {
    twips::setGeometry(widget, left, top, width, height);
    return widget;
}

QPushButton* button(QWidget* parent, const QString& caption) {
    return new QPushButton(caption, parent);
}

// Qt's scroll bar inverts its controls so that the page keys scroll a page the way they do
// everywhere, and with them the arrows: Right would lower a horizontal bar. Here the arrows move
// the thumb the way they point, as the buttons at the bar's ends do, through the same action.
class SizeBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() != Qt::Key_Right && event->key() != Qt::Key_Left) {
            QScrollBar::keyPressEvent(event);
            return;
        }
        const bool up = (event->key() == Qt::Key_Right) != isRightToLeft();
        triggerAction(up ? SliderSingleStepAdd : SliderSingleStepSub);
        event->accept();
    }
};

QScrollBar* sizeBar(QWidget* parent, int min, int max, int value) {
    auto* bar = new SizeBar(Qt::Horizontal, parent);
    bar->setRange(min, max);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    bar->setValue(value);
    // A drag reports its value once, when the thumb is released: each value repaints the picture.
    bar->setTracking(false);
    bar->setFocusPolicy(Qt::StrongFocus); // a tab stop, moved by the arrow keys
    return bar;
}

} // namespace

Form1::Form1(Dialogs& dialogs, QWidget* parent) : QWidget(parent), m_dialogs(dialogs) {
    setWindowTitle(QStringLiteral("Trameda"));
    QFont font(QStringLiteral("MS Sans Serif"));
    // A shade under the 8 points the layout was drawn with: the faces that stand in for it
    // here are wider, and the captions must fit their controls.
    font.setPointSizeF(7.5);
    setFont(font);
    resize(twips::toPixels(11160), twips::toPixels(7305));
    createControls();
    fitCaptions();
    setTabOrder();
    connectHandlers();
    preparePattern();
    preparePalette();
    run([this] { Form_Load(); });
}

Form1::~Form1() = default;

void Form1::createControls() {
    // Frames first: they are drawn on the window, behind every control.
    Shape1 = place(new Shape(this), 1800, 2760, 3015, 2895);
    Shape2 = place(new Shape(this), 1800, 5040, 3015, 615);

    Command1 = place(button(this, QStringLiteral("Sfoglia cartelle")), 120, 240, 1935, 495);
    File1 = place(new FileListBox(this), 120, 720, 1935, 1260);

    Picture1[0] = new PictureBox(this);
    Picture1[0]->setGeometryTwips(4920, 0, 2415, 2535);
    Command2 = place(button(this, QStringLiteral("Converti a 8 colori")), 120, 3840, 1335, 495);
    Command2->setEnabled(false);
    HScroll1[0] = place(sizeBar(this, 0, 2000, 100), 2400, 360, 1455, 255);
    HScroll1[1] = place(sizeBar(this, 0, 2000, 100), 2400, 840, 1455, 255);

    for (int i = 0; i < 16; ++i)
        Label1[std::size_t(i)] =
            place(new Swatch(this), 1920 + 360 * (i % 8), 2880 + 360 * (i / 8), 255, 255);

    Text1 = place(new QLineEdit(QStringLiteral("8"), this), 360, 4320, 735, 285);

    Picture2 = new PictureBox(this);
    Picture2->setGeometryTwips(7800, 240, 7335, 3735);
    Picture2->setBackColor(RGB(255, 255, 255));
    Picture2->Cls();
    Picture2->hide();

    Picture1[1] = new PictureBox(this);
    Picture1[1]->setGeometryTwips(1920, 0, 2175, 2535);
    Picture1[1]->hide();

    HScroll1[2] = place(sizeBar(this, 1, 150, 50), 2400, 1560, 1455, 255);
    const std::array<int, 4> readoutTops = {600, 1080, 1800, 2280};
    for (std::size_t i = 0; i < 2; ++i)
        Label2[i] = place(new QLabel(QStringLiteral("11"), this), 2400, readoutTops[i], 855, 255);
    Label2[2] = place(new QLabel(QStringLiteral("11"), this), 2400, readoutTops[2], 855, 255);
    HScroll1[3] = place(sizeBar(this, 1, 150, 50), 2400, 2040, 1455, 255);
    Label2[3] = place(new QLabel(QStringLiteral("11"), this), 2400, readoutTops[3], 855, 255);

    Command3 = place(button(this, QStringLiteral("Salva colori")), 1920, 4560, 1335, 375);
    Text2 = place(new QLineEdit(QStringLiteral("colori"), this), 3360, 4620, 1335, 285);
    Text3 = place(new QLineEdit(QStringLiteral("Text3"), this), 240, 4920, 975, 855);
    Text3->hide();
    Command4 = place(button(this, QStringLiteral("Carica colori")), 1920, 4080, 1335, 375);

    File2 = place(new FileListBox(this), 7320, 4200, 3855, 1650);
    File2->setPattern(QStringLiteral("*.col"));
    File2->hide();

    Check1 = place(new QCheckBox(QStringLiteral("Inserisci numero colore nel disegno"), this), 120,
                   6120, 2775, 255);
    Check1->setChecked(true);
    Check2 = place(new QCheckBox(QStringLiteral("STAMPA"), this), 120, 6840, 1575, 255);
    QFont bold(QStringLiteral("MS Sans Serif"));
    bold.setPointSizeF(9.75);
    bold.setBold(true);
    Check2->setFont(bold);

    Command5 =
        place(new WrappingButton(QStringLiteral("D E F O U L T"), this), 3960, 360, 255, 1935);
    Check3 = place(new QCheckBox(QStringLiteral("Disegna griglia"), this), 120, 5880, 1575, 255);
    Check3->setChecked(true);
    Command6 = place(button(this, QStringLiteral("ANNULLA")), 5040, 240, 1695, 495);
    Command6->hide();
    Command7 = place(button(this, QStringLiteral("AUTOColori")), 1920, 5130, 1335, 375);
    Option1 =
        place(new QRadioButton(QStringLiteral("Quadratini colorati"), this), 360, 6360, 2655, 255);
    Option2 = place(new QRadioButton(QStringLiteral("trameda"), this), 360, 6600, 2655, 195);
    Option2->setChecked(true);
    Label3 = place(
        new QLabel(QStringLiteral("Tasto Dx o Sx mouse per tavola colori o disegno originale"),
                   this),
        1920, 3600, 2775, 375);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Check4 = place(new QCheckBox(QStringLiteral("molti colori"), this), 3360, 5070, 1335, 255);
    Check5 = place(new QCheckBox(QStringLiteral("colori pastello"), this), 3360, 5310, 1335, 255);
    Image1 = place(new ImageBox(this), 240, 2280, 1095, 855);

    for (QLabel* label : Label2)
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

int Form1::captionShortfall() const {
    int shortfall = INT_MIN;
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (qobject_cast<WrappingButton*>(button))
            continue; // its letters stand one under another
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle::SubElement contents =
            qobject_cast<QCheckBox*>(button)      ? QStyle::SE_CheckBoxContents
            : qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                  : QStyle::SE_PushButtonContents;
        const int room = button->style()->subElementRect(contents, &option, button).width();
        // The conversion button's caption follows the number of colours: the widest it shows.
        const QString caption =
            button == Command2 ? QStringLiteral("Converti a 16 colori") : button->text();
        shortfall = std::max(shortfall, button->fontMetrics().horizontalAdvance(caption) - room);
    }
    return shortfall;
}

void Form1::fitCaptions() {
    if (captionShortfall() <= 0)
        return;
    // The face standing in for the designed one is wider: the next that fits every caption
    // takes its place, and where none does, the first is made smaller until they fit.
    const QFont designed = font();
    const QFont designedBold = Check2->font();
    const auto use = [&](const QString& family, double points) {
        QFont regular = designed;
        regular.setFamily(family);
        regular.setPointSizeF(points);
        setFont(regular);
        QFont bold = designedBold;
        bold.setFamily(family);
        bold.setPointSizeF(designedBold.pointSizeF() * points / designed.pointSizeF());
        Check2->setFont(bold);
    };
    QStringList families;
    for (const QString& family : QFont::substitutes(designed.family()))
        if (QFontDatabase::hasFamily(family))
            families << family;
    for (const QString& family : std::as_const(families)) {
        use(family, designed.pointSizeF());
        if (captionShortfall() <= 0)
            return;
    }
    const QString family = families.value(0, QFontInfo(designed).family());
    for (double points = designed.pointSizeF() - 0.25; points >= 5; points -= 0.25) {
        use(family, points);
        if (captionShortfall() <= 0)
            return;
    }
}

void Form1::setTabOrder() {
    const std::array<QWidget*, 27> order = {
        Command1, File1,       Picture1[0], Command2,    HScroll1[0], HScroll1[1], Text1,
        Picture2, Picture1[1], HScroll1[2], HScroll1[3], Command3,    Text2,       Text3,
        Command4, File2,       Check1,      Check2,      Command5,    Check3,      Command6,
        Command7, Option1,     Option2,     Check4,      Check5,      Command1};
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void Form1::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, [this] { run([this] { Command1_Click(); }); });
    connect(File1, &FileListBox::fileClicked, this, [this] { run([this] { File1_Click(); }); });
    for (int i = 0; i < 4; ++i)
        connect(HScroll1[std::size_t(i)], &QScrollBar::valueChanged, this,
                [this, i] { run([this, i] { HScroll1_Change(i); }); });
    connect(Command5, &QPushButton::clicked, this, [this] { run([this] { Command5_Click(); }); });
}

void Form1::keyPressEvent(QKeyEvent* event) {
    run([this, event] { Form_KeyDown(event->key()); });
    QWidget::keyPressEvent(event);
}

void Form1::report(const RuntimeError& error) noexcept {
    try {
        m_dialogs.showError(this, error.message());
    } catch (...) {
        // Nothing more can be done for a report that cannot be shown.
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up

void Form1::Form_Load() {
    File1->setPattern(picture::listPattern());
    File1->setPath(QCoreApplication::applicationDirPath());
    assignStartValues();
    for (int i = 0; i < 16; ++i)
        Label1[std::size_t(i)]->setBackColor(QBColor(i));
}

void Form1::assignStartValues() {
    assignValue(HScroll1[0], picture::kStart.width);
    assignValue(HScroll1[1], picture::kStart.height);
    assignValue(HScroll1[2], picture::kStart.across);
    assignValue(HScroll1[3], picture::kStart.down);
}

// ---------------------------------------------------------------------------------------------
// Folder and picture

void Form1::Command1_Click() {
    const QString folder =
        Modulesfoglia::sceglicartella(m_dialogs, this, QStringLiteral("Selezionare una cartella:"));
    if (!folder.isEmpty())
        File1->setPath(folder);
}

void Form1::apri(const QString& picture) {
    const QFileInfo info(picture);
    // The list shows the picture's folder where it can; elsewhere it stays where it was.
    const QFileInfo folder(info.absolutePath());
    const bool listable = folder.isDir() && folder.isReadable() && folder.isExecutable();
    if (listable)
        File1->setPath(folder.absoluteFilePath());
    // Every reason a picture cannot be opened is told the same way, once; the window goes on.
    try {
        Image1->setPicture(LoadPicture(info.absoluteFilePath()));
        m_pictureFile = info.absoluteFilePath();
    } catch (const RuntimeError& error) {
        m_dialogs.showError(
            this, QStringLiteral("Impossibile aprire l'immagine \u201C%1\u201D: %2.")
                      .arg(shownName(info.absoluteFilePath()), failureCause(error)));
        return;
    }
    const QList<QListWidgetItem*> entries =
        listable ? File1->findItems(info.fileName(), Qt::MatchExactly) : QList<QListWidgetItem*>();
    if (!entries.isEmpty()) {
        File1->scrollToItem(entries.first());
        File1->setCurrentItem(entries.first()); // selecting the entry raises File1's Click
        return;
    }
    // A picture the list does not show (foto.jpeg) is held as a click would hold it; carica,
    // finding no entry chosen, paints it, and so do later repaints.
    File1_Click();
}

void Form1::File1_Click() {
    carica();
    Command2->setEnabled(true);
}

void Form1::carica() {
    // Every failure here is silent: the surfaces keep or repaint what they had.
    try {
        const QString file = picture::sourcePath(File1->path(), File1->fileName());
        Image1->setPicture(LoadPicture(file));
        m_pictureFile = file;
    } catch (const RuntimeError&) {
    }
    for (PictureBox* surface : Picture1)
        picture::paintOver(*surface, Image1->picture());
}

// ---------------------------------------------------------------------------------------------
// Size and stitch-count bars

void Form1::HScroll1_Change(int Index) {
    if (blocco == 1)
        return; // a change raised by this handler's own assignments
    blocco = 1;
    {
        // Released however the handling ends: a run-time error must not leave every bar dead.
        const auto release = qScopeGuard([this] { blocco = 0; });
        if (HScroll1[0]->value() == 0)
            assignValue(HScroll1[0], 1);
        if (HScroll1[1]->value() == 0)
            assignValue(HScroll1[1], 1);

        // The partner side computed below reaches the surfaces only at the next handled change.
        const int width = 10 * HScroll1[0]->value();
        const int height = 10 * HScroll1[1]->value();
        Picture1[0]->setWidth(width);
        Picture1[1]->setWidth(width);
        Picture1[0]->setHeight(height);
        Picture1[1]->setHeight(height);

        if (Index == 0)
            assignValue(HScroll1[1],
                        picture::coupledSide(HScroll1[0]->value(), HScroll1[3]->value(),
                                             HScroll1[2]->value(), HScroll1[1]->minimum(),
                                             HScroll1[1]->maximum()));
        if (Index == 1)
            assignValue(HScroll1[0],
                        picture::coupledSide(HScroll1[1]->value(), HScroll1[2]->value(),
                                             HScroll1[3]->value(), HScroll1[0]->minimum(),
                                             HScroll1[0]->maximum()));
        carica();
        for (std::size_t i = 0; i < 4; ++i)
            Label2[i]->setText(QString::number(HScroll1[i]->value()));
    }

    if (Index == 2 || Index == 3)
        nudgeWidth();
}

void Form1::nudgeWidth() {
    QScrollBar* width = HScroll1[0];
    // At its Max the width cannot go up first; it goes down and back up instead.
    const int step = width->value() < width->maximum() ? 1 : -1;
    assignValue(width, width->value() + step);
    assignValue(width, width->value() - step);
}

void Form1::Command5_Click() {
    assignStartValues();
}

} // namespace trameda
