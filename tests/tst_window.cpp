// The window driven as a user drives it: start-up, the size and stitch-count bars with their
// coupling, picture loading from the list, the folder chooser, run-time errors, and the way to
// the pattern dialog.
#include "app/application.h"
#include "app/form1.h"
#include "app/patterndialog.h"
#include "runtime/twips.h"
#include "support/fakedialogs.h"
#include "support/window.h"
#include "support/gif.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace trameda;

namespace {

using Window = WindowFixture;

QStringList readouts(const Form1& f) {
    QStringList texts;
    for (const QLabel* l : f.Label2)
        texts << l->text();
    return texts;
}

QList<int> bars(const Form1& f) {
    QList<int> values;
    for (const QScrollBar* b : f.HScroll1)
        values << b->value();
    return values;
}

// The next control that Tab reaches: visible and taking the focus by Tab.
QWidget* nextTabStop(QWidget* from) {
    for (QWidget* w = from->nextInFocusChain(); w != from; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->isHidden() && w->isEnabled())
            return w;
    return nullptr;
}

QSize surfaceTwips(const PictureBox* p) {
    return {p->Width(), p->Height()};
}

void clickListEntry(FileListBox* list, const QString& name) {
    const auto items = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(name));
    const QRect r = list->visualItemRect(items.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

void writeUniform(const QString& path, QRgb colour, const char* format) {
    if (QByteArray(format) == "GIF") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encodeGif({64, 48}, {colour}, {uniformFrame({64, 48}, 0)}));
        return;
    }
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, format));
}

QPoint subControlCentre(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareApplication(); }
    void layoutAtDesignTime();
    void startUpEndState();
    void widthMovedTo700();
    void defaultsButton();
    void widthOfZero();
    void stitchCountAtMaximumWidth();
    void moreStitchesAcrossLowersTheHeight();
    void nestedChangeIsIgnored();
    void barsRaiseChangeAsTheUserMovesThem();
    void clickedPictureFillsBothSurfaces();
    void failedLoadKeepsThePreviousPicture();
    void listTakesTheFocusWithoutChoosing_data();
    void listTakesTheFocusWithoutChoosing();
    void opensOnAGivenPicture();
    void saysOnceWhyAGivenPictureDoesNotOpen_data();
    void saysOnceWhyAGivenPictureDoesNotOpen();
    void barsMoveAsTheKeysPoint_data();
    void barsMoveAsTheKeysPoint();
    void captionsFitInTheFaceAtHand_data();
    void captionsFitInTheFaceAtHand();
    void folderChooser();
    void runtimeErrorIsReportedAndTheWindowGoesOn();
    void patternIsOfferedOnTheBareBackgroundOnly_data();
    void patternIsOfferedOnTheBareBackgroundOnly();
};

void TestWindow::layoutAtDesignTime() {
    Window w;
    Form1& f = *w.form;
    QCOMPARE(f.windowTitle(), QStringLiteral("Trameda"));
    QCOMPARE(f.size(), QSize(744, 487));
    QCOMPARE(f.Command1->geometry(), QRect(8, 16, 129, 33));
    QCOMPARE(f.Command1->text(), QStringLiteral("Sfoglia cartelle"));
    QCOMPARE(f.Command2->text(), QStringLiteral("Converti a 8 colori"));
    QVERIFY(!f.Command2->isEnabled());
    QCOMPARE(f.Label1[15]->geometry(), QRect(296, 216, 17, 17));
    QCOMPARE(f.Picture2->geometry(), QRect(520, 16, 489, 249));
    QCOMPARE(f.Command5->geometry(), QRect(264, 24, 17, 129));
    QCOMPARE(f.Command5->text(), QStringLiteral("D E F O U L T"));
    QCOMPARE(f.Label3->text(),
             QStringLiteral("Tasto Dx o Sx mouse per tavola colori o disegno originale"));
    QVERIFY(f.Check2->font().bold());
    QCOMPARE(f.Check2->font().pointSizeF(), 9.75);
    QVERIFY(f.Check1->isChecked() && f.Check3->isChecked() && !f.Check2->isChecked());
    QVERIFY(f.Option2->isChecked() && !f.Option1->isChecked());
    QVERIFY(!f.Check4->isChecked() && !f.Check5->isChecked());
    QCOMPARE(f.Text1->text(), QStringLiteral("8"));
    QCOMPARE(f.Text2->text(), QStringLiteral("colori"));
    QCOMPARE(f.File2->pattern(), QStringLiteral("*.col"));
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{f.Picture2, f.Picture1[1], f.Text3, f.File2, f.Command6})
        QVERIFY(hidden->isHidden());
    for (int i = 0; i < 16; ++i)
        QCOMPARE(f.Label1[std::size_t(i)]->BackColor(), QBColor(i));
    QCOMPARE(f.Label1[3]->focusPolicy(), Qt::NoFocus);

    // Tab order follows the controls' tab indices, skipping what cannot take the focus.
    QCOMPARE(nextTabStop(f.Command1), static_cast<QWidget*>(f.File1));
    QCOMPARE(nextTabStop(f.File1), static_cast<QWidget*>(f.Picture1[0]));
    QCOMPARE(nextTabStop(f.HScroll1[1]), static_cast<QWidget*>(f.Text1));
    QCOMPARE(nextTabStop(f.Text1), static_cast<QWidget*>(f.HScroll1[2])); // hidden boxes skipped
    QCOMPARE(nextTabStop(f.Option2), static_cast<QWidget*>(f.Check4));
}

void TestWindow::startUpEndState() {
    Window w;
    Form1& f = *w.form;
    QCOMPARE(bars(f), (QList<int>{600, 666, 45, 50}));
    QCOMPARE(readouts(f), (QStringList{"600", "666", "45", "50"}));
    QCOMPARE(surfaceTwips(f.Picture1[0]), QSize(6000, 6670));
    QCOMPARE(surfaceTwips(f.Picture1[1]), QSize(6000, 6670));
    QCOMPARE(f.Picture1[1]->image().size(), QSize(396, 441));
    QCOMPARE(f.blocco, 0);
    QVERIFY(w.dialogs.errors.isEmpty());
}

void TestWindow::widthMovedTo700() {
    Window w;
    Form1& f = *w.form;
    assignValue(f.HScroll1[0], 700);
    QCOMPARE(surfaceTwips(f.Picture1[0]), QSize(7000, 6660));
    QCOMPARE(surfaceTwips(f.Picture1[1]), QSize(7000, 6660));
    QCOMPARE(bars(f), (QList<int>{700, 777, 45, 50}));
    QCOMPARE(readouts(f), (QStringList{"700", "777", "45", "50"}));
}

void TestWindow::defaultsButton() {
    Window w;
    Form1& f = *w.form;
    QTest::mouseClick(f.Command5, Qt::LeftButton);
    QCOMPARE(bars(f), (QList<int>{540, 600, 45, 50}));
    QCOMPARE(readouts(f), (QStringList{"540", "600", "45", "50"}));
    QCOMPARE(surfaceTwips(f.Picture1[0]), QSize(6000, 6000));
    QCOMPARE(surfaceTwips(f.Picture1[1]), QSize(6000, 6000));
}

void TestWindow::widthOfZero() {
    Window w;
    Form1& f = *w.form;
    assignValue(f.HScroll1[0], 0);
    QCOMPARE(f.HScroll1[0]->value(), 1);
    QCOMPARE(f.Picture1[0]->Width(), 10);
    QCOMPARE(f.HScroll1[1]->value(), 1);            // 1 x 50 / 45
    QCOMPARE(f.Picture1[0]->Point(0, 0), NoColour); // nothing left inside the border

    assignValue(f.HScroll1[2], 100); // more across than down
    assignValue(f.HScroll1[0], 0);
    QCOMPARE(f.HScroll1[0]->value(), 1);
    QCOMPARE(f.HScroll1[1]->value(), 0); // 1 x 50 / 100, accepted as it is
    QCOMPARE(f.Label2[1]->text(), QStringLiteral("0"));
    // The next handled change puts the zero height back to 1.
    assignValue(f.HScroll1[0], 5);
    QCOMPARE(f.Picture1[0]->Height(), 10);
}

void TestWindow::stitchCountAtMaximumWidth() {
    Window w;
    Form1& f = *w.form;
    assignValue(f.HScroll1[0], 2000);
    QCOMPARE(f.HScroll1[1]->value(), 2000 * 50 / 45 > 2000 ? 2000 : 2000 * 50 / 45);
    assignValue(f.HScroll1[2], 100);
    QVERIFY(w.dialogs.errors.isEmpty());
    QCOMPARE(f.HScroll1[0]->value(), 2000);
    QCOMPARE(f.HScroll1[1]->value(), 1000); // 2000 x 50 / 100 with the new ratio
    QCOMPARE(f.Picture1[0]->Width(), 20000);
    QCOMPARE(readouts(f), (QStringList{"2000", "1000", "100", "50"}));
}

void TestWindow::moreStitchesAcrossLowersTheHeight() {
    Window w;
    Form1& f = *w.form;
    assignValue(f.HScroll1[2], 60);
    QCOMPARE(f.HScroll1[0]->value(), 600);
    QCOMPARE(f.HScroll1[1]->value(), 500); // 600 x 50 / 60
    // The two passes leave the surfaces at the height computed for width + 1: 601 x 50 / 60.
    QCOMPARE(surfaceTwips(f.Picture1[0]), QSize(6000, 5000));
    QCOMPARE(readouts(f), (QStringList{"600", "500", "60", "50"}));
}

void TestWindow::nestedChangeIsIgnored() {
    Window w;
    Form1& f = *w.form;
    f.blocco = 1;
    assignValue(f.HScroll1[0], 900);
    QCOMPARE(f.Picture1[0]->Width(), 6000);
    QCOMPARE(f.HScroll1[1]->value(), 666);
    QCOMPARE(f.Label2[0]->text(), QStringLiteral("600"));
}

void TestWindow::barsRaiseChangeAsTheUserMovesThem() {
    Window w;
    Form1& f = *w.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QScrollBar* across = f.HScroll1[2];

    QTest::mouseClick(across, Qt::LeftButton, {},
                      subControlCentre(across, QStyle::SC_ScrollBarAddLine));
    QCOMPARE(across->value(), 46);
    QCOMPARE(f.Label2[2]->text(), QStringLiteral("46"));
    QCOMPARE(f.HScroll1[1]->value(), 600 * 50 / 46);

    QTest::mouseClick(across, Qt::LeftButton, {},
                      subControlCentre(across, QStyle::SC_ScrollBarAddPage));
    QCOMPARE(across->value(), 56);
    QCOMPARE(f.Label2[2]->text(), QStringLiteral("56"));

    // Dragging the thumb changes nothing until it is released.
    QScrollBar* width = f.HScroll1[0];
    width->setSliderDown(true);
    width->setSliderPosition(800);
    QCOMPARE(f.Label2[0]->text(), QStringLiteral("600"));
    QCOMPARE(f.Picture1[0]->Width(), 6000);
    width->setSliderDown(false);
    QCOMPARE(width->value(), 800);
    QCOMPARE(f.Label2[0]->text(), QStringLiteral("800"));
    QCOMPARE(f.Picture1[0]->Width(), 8000);
}

void TestWindow::clickedPictureFillsBothSurfaces() {
    QTemporaryDir dir;
    writeUniform(dir.filePath("rosso.bmp"), qRgb(200, 10, 10), "BMP");
    writeUniform(dir.filePath("verde.gif"), qRgb(10, 200, 10), "GIF");
    QFile(dir.filePath("note.txt")).open(QIODevice::WriteOnly);

    Window w;
    Form1& f = *w.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.File1->setPath(dir.path());
    QCOMPARE(f.File1->count(), 2); // the text file is not a picture
    QVERIFY(!f.Command2->isEnabled());

    clickListEntry(f.File1, QStringLiteral("rosso.bmp"));
    QCOMPARE(f.File1->fileName(), QStringLiteral("rosso.bmp"));
    QVERIFY(f.Command2->isEnabled());
    for (PictureBox* surface : f.Picture1) {
        QCOMPARE(surface->Point(0, 0), RGB(200, 10, 10));
        QCOMPARE(surface->Point(199, 199), RGB(200, 10, 10));
        QCOMPARE(surface->ScaleWidth(), 200.0);
    }
    QVERIFY(!f.Image1->picture().isNull());

    // A size change paints the picture again at the new size.
    assignValue(f.HScroll1[0], 300);
    QCOMPARE(f.Picture1[1]->image().size(), QSize(196, 440)); // height from bar 666
    QCOMPARE(f.Picture1[1]->Point(199, 0), RGB(200, 10, 10));

    clickListEntry(f.File1, QStringLiteral("verde.gif"));
    QCOMPARE(f.Picture1[0]->Point(100, 100), RGB(10, 200, 10));
}

void TestWindow::failedLoadKeepsThePreviousPicture() {
    QTemporaryDir dir;
    writeUniform(dir.filePath("buona.bmp"), qRgb(0, 0, 255), "BMP");
    QFile broken(dir.filePath("rotta.jpg"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\xFF\xD8\xFF\xE0 not really a JPEG");
    broken.close();
    writeUniform(dir.filePath("sparita.bmp"), qRgb(255, 255, 0), "BMP");

    Window w;
    Form1& f = *w.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.File1->setPath(dir.path());
    clickListEntry(f.File1, QStringLiteral("buona.bmp"));
    QCOMPARE(f.Picture1[0]->Point(10, 10), RGB(0, 0, 255));

    clickListEntry(f.File1, QStringLiteral("rotta.jpg"));
    QVERIFY(f.Command2->isEnabled());
    QCOMPARE(f.Picture1[0]->Point(10, 10), RGB(0, 0, 255));
    QCOMPARE(f.Picture1[1]->Point(10, 10), RGB(0, 0, 255));

    // Deleted between listing and click.
    QFile::remove(dir.filePath("sparita.bmp"));
    clickListEntry(f.File1, QStringLiteral("sparita.bmp"));
    QCOMPARE(f.Picture1[1]->Point(190, 190), RGB(0, 0, 255));
    QVERIFY(w.dialogs.errors.isEmpty()); // loading fails silently
}

void TestWindow::listTakesTheFocusWithoutChoosing_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Tab") << Qt::Key_Tab;
    QTest::newRow("Shift+Tab") << Qt::Key_Backtab;
}

void TestWindow::listTakesTheFocusWithoutChoosing() {
    QFETCH(Qt::Key, key);
    QWidget window;
    auto* before = new QPushButton(&window);
    auto* list = new FileListBox(&window);
    auto* after = new QPushButton(&window);
    list->addItems({QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    QWidget::setTabOrder(before, list);
    QWidget::setTabOrder(list, after);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* from = key == Qt::Key_Tab ? before : after;
    from->setFocus();
    QSignalSpy clicks(list, &FileListBox::fileClicked);
    QTest::keyClick(from, key, key == Qt::Key_Tab ? Qt::NoModifier : Qt::ShiftModifier);
    QVERIFY(list->hasFocus());
    QCOMPARE(clicks.count(), 0);
    QVERIFY(list->fileName().isEmpty());
    // An arrow key moving the selection chooses, as a click does.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(list->fileName(), QStringLiteral("a.jpg"));
}

void TestWindow::opensOnAGivenPicture() {
    QTemporaryDir dir;
    const QString name = QStringLiteral("la mia FOTO è qui.BMP");
    writeUniform(dir.filePath("altra.bmp"), qRgb(0, 0, 0), "BMP");
    writeUniform(dir.filePath(name), qRgb(10, 20, 200), "BMP");
    Window w;
    Form1& f = *w.form;
    f.run([&] { f.apri(dir.filePath(name)); });
    QVERIFY(w.dialogs.errors.isEmpty());
    QCOMPARE(f.File1->path(), dir.path());
    QCOMPARE(f.File1->selectedItems().value(0)->text(), name);
    QVERIFY(f.Command2->isEnabled());
    QCOMPARE(f.Picture1[0]->Point(100, 100), RGB(10, 20, 200));
    QCOMPARE(f.Picture1[1]->Point(100, 100), RGB(10, 20, 200));

    // A JPEG named .jpeg is not listed, yet opens, and stays through a size change.
    writeUniform(dir.filePath("foto.jpeg"), qRgb(200, 0, 0), "JPG");
    f.run([&] { f.apri(dir.filePath("foto.jpeg")); });
    QVERIFY(w.dialogs.errors.isEmpty());
    f.run([&] { assignValue(f.HScroll1[0], 700); });
    QVERIFY(QColor(toQRgb(f.Picture1[1]->Point(100, 100))).red() > 190);
}

void TestWindow::saysOnceWhyAGivenPictureDoesNotOpen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // "dir" a folder, empty: nothing
    QTest::addColumn<QString>("cause");
    QTest::newRow("missing") << "manca.jpg" << QByteArray() << "file non trovato";
    QTest::newRow("folder") << "cartella.jpg" << QByteArray("dir") << "è una cartella";
    const QByteArray broken("\xFF\xD8\xFF\xE0 not really a JPEG");
    QTest::newRow("damaged, listed") << "rotta.jpg" << broken << "immagine jpg danneggiata";
    QTest::newRow("damaged, not listed") << "rotta.jpeg" << broken << "immagine jpg danneggiata";
}

void TestWindow::saysOnceWhyAGivenPictureDoesNotOpen() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    writeUniform(dir.filePath("buona.bmp"), qRgb(0, 0, 255), "BMP");
    QFile file(dir.filePath(name));
    if (content == "dir")
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (!content.isEmpty())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    file.close();
    Window w;
    Form1& f = *w.form;
    f.run([&] { f.apri(file.fileName()); });
    QCOMPARE(
        w.dialogs.errors,
        QStringList{
            QStringLiteral("Impossibile aprire l'immagine “%1”: %2.").arg(file.fileName(), cause)});
    // The window goes on, on the picture's folder.
    QCOMPARE(f.File1->path(), dir.path());
    clickListEntry(f.File1, QStringLiteral("buona.bmp"));
    QCOMPARE(f.Picture1[0]->Point(100, 100), RGB(0, 0, 255));
    QCOMPARE(w.dialogs.errors.size(), 1);
}

void TestWindow::barsMoveAsTheKeysPoint_data() {
    QTest::addColumn<int>("bar");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("value");
    QTest::newRow("width, Right") << 0 << Qt::Key_Right << 601;
    QTest::newRow("across, Right") << 2 << Qt::Key_Right << 46;
    QTest::newRow("across, Left") << 2 << Qt::Key_Left << 44;
    QTest::newRow("across, Page Down") << 2 << Qt::Key_PageDown << 55;
    QTest::newRow("across, Page Up") << 2 << Qt::Key_PageUp << 35;
}

void TestWindow::barsMoveAsTheKeysPoint() {
    QFETCH(int, bar);
    QFETCH(Qt::Key, key);
    QFETCH(int, value);
    Window w;
    Form1& f = *w.form;
    QTest::keyClick(f.HScroll1[std::size_t(bar)], key);
    QCOMPARE(f.HScroll1[std::size_t(bar)]->value(), value);
    // Through the bars' own handling: the read-out follows.
    QCOMPARE(f.Label2[std::size_t(bar)]->text(), QString::number(value));
}

void TestWindow::captionsFitInTheFaceAtHand_data() {
    QTest::addColumn<QStringList>("faces"); // those that stand in for the designed face
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("smaller");
    QTest::newRow("Liberation Sans")
        << QStringList{"Liberation Sans"} << "Liberation Sans" << false;
    QTest::newRow("DejaVu Sans alone") << QStringList{"DejaVu Sans"} << "DejaVu Sans" << true;
    QTest::newRow("DejaVu Sans, then Liberation Sans")
        << QStringList{"DejaVu Sans", "Liberation Sans"} << "Liberation Sans" << false;
}

void TestWindow::captionsFitInTheFaceAtHand() {
    QFETCH(QStringList, faces);
    QFETCH(QString, chosen);
    QFETCH(bool, smaller);
    const QString designed = QStringLiteral("MS Sans Serif");
    const QStringList before = QFont::substitutes(designed);
    QFont::removeSubstitutions(designed);
    QFont::insertSubstitutions(designed, faces);
    Window w;
    QFont::removeSubstitutions(designed);
    QFont::insertSubstitutions(designed, before);
    Form1& f = *w.form;
    QCOMPARE(QFontInfo(f.Check2->font()).family(), chosen);
    QCOMPARE(f.font().pointSizeF() < 7.5, smaller);
    f.Text1->setText(QStringLiteral("16"));
    for (QAbstractButton* b : f.findChildren<QAbstractButton*>()) {
        const bool box = qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b);
        const int indicator = box ? b->style()->pixelMetric(QStyle::PM_IndicatorWidth) : 0;
        QVERIFY2(b == f.Command5 ||
                     b->fontMetrics().horizontalAdvance(b->text()) + indicator + 2 <= b->width(),
                 qPrintable(b->text()));
    }
}

void TestWindow::folderChooser() {
    QTemporaryDir dir;
    writeUniform(dir.filePath("a.jpg"), qRgb(1, 1, 1), "JPG");
    Window w;
    Form1& f = *w.form;
    const QString before = f.File1->path();

    QTest::mouseClick(f.Command1, Qt::LeftButton); // cancelled
    QCOMPARE(w.dialogs.folderPrompts, QStringList{QStringLiteral("Selezionare una cartella:")});
    QCOMPARE(f.File1->path(), before);

    w.dialogs.folders.push_back(dir.path());
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(f.File1->path(), dir.path());
    QCOMPARE(f.File1->count(), 1);
    QCOMPARE(f.File1->pattern(), QStringLiteral("*.jpg;*.gif;*.bmp"));

    // The root already ends in a separator; the picture path gets no second one.
    w.dialogs.folders.push_back(QStringLiteral("/"));
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(f.File1->path(), QStringLiteral("/"));
}

void TestWindow::runtimeErrorIsReportedAndTheWindowGoesOn() {
    Window w;
    Form1& f = *w.form;
    const QString before = f.File1->path();
    w.dialogs.folders.push_back(QStringLiteral("/nessuna/cartella/così"));
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(w.dialogs.errors.size(), 1);
    QVERIFY(w.dialogs.errors.first().startsWith(QStringLiteral("Errore di run-time '76'")));
    QCOMPARE(f.File1->path(), before);
    // The window still answers.
    QTest::mouseClick(f.Command5, Qt::LeftButton);
    QCOMPARE(f.HScroll1[0]->value(), 540);

    // A width bar that can hold nothing but 0: the size handling fails putting it back to 1,
    // and the bars must still answer afterwards.
    f.HScroll1[0]->setRange(0, 0);
    QVERIFY(w.dialogs.errors.last().startsWith(QStringLiteral("Errore di run-time '380'")));
    f.HScroll1[0]->setRange(0, 2000);
    assignValue(f.HScroll1[0], 700);
    QCOMPARE(f.Label2[0]->text(), QStringLiteral("700"));
}

void TestWindow::patternIsOfferedOnTheBareBackgroundOnly_data() {
    QTest::addColumn<QPoint>("twips"); // where the right button is pressed; none: Ctrl+E instead
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("menu");
    QTest::newRow("swatch") << QPoint(3100, 2980) << true << false;
    QTest::newRow("chart surface") << QPoint(6000, 1000) << true << false;
    QTest::newRow("colour chart") << QPoint(3000, 2500) << true << false;
    QTest::newRow("read-out") << QPoint(2500, 700) << true << false;
    QTest::newRow("picture holder") << QPoint(500, 2500) << true << false;
    QTest::newRow("background") << QPoint(1500, 2500) << true << true;
    QTest::newRow("inside the palette frame") << QPoint(4750, 3000) << true << true;
    QTest::newRow("background, no picture") << QPoint(1500, 2500) << false << true;
    QTest::newRow("Ctrl+E, no picture") << QPoint() << false << false;
    QTest::newRow("Ctrl+E") << QPoint() << true << false;
}

void TestWindow::patternIsOfferedOnTheBareBackgroundOnly() {
    QFETCH(QPoint, twips);
    QFETCH(bool, picture);
    QFETCH(bool, menu);
    QTemporaryDir dir;
    writeUniform(dir.filePath("foto.bmp"), qRgb(200, 10, 10), "BMP");
    Window w;
    Form1& f = *w.form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    if (picture)
        f.run([&] { f.apri(dir.filePath("foto.bmp")); });
    if (twips.isNull()) { // taken by the window's shortcut, from any control
        QSignalSpy taken(f.findChild<QShortcut*>(), &QShortcut::activated);
        QTest::keyClick(f.Command1, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(taken.count(), 1);
        QCOMPARE(f.findChildren<QDialog*>().size(), picture ? 1 : 0);
        if (!picture)
            return;
        // Asked again it stays one; asked on another picture it is that picture's.
        QTest::keyClick(f.Command1, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(f.findChildren<QDialog*>().size(), 1);
        writeUniform(dir.filePath("altra.bmp"), qRgb(10, 10, 200), "BMP");
        f.run([&] { f.apri(dir.filePath("altra.bmp")); });
        QTest::keyClick(f.Command1, Qt::Key_E, Qt::ControlModifier);
        const QList<PatternDialog*> open = f.findChildren<PatternDialog*>();
        QCOMPARE(open.size(), 1);
        QCOMPARE(open.first()->picture(), dir.filePath("altra.bmp"));
        return;
    }
    if (QByteArray(QTest::currentDataTag()) == "colour chart")
        QTest::mousePress(f.Label1[2], Qt::LeftButton); // opens it over the swatches
    // A right press as the platform reports it: a context menu event for the widget under the
    // pointer, passed on to the window when the widget leaves it.
    const QPoint at(twips::toPixels(twips.x()), twips::toPixels(twips.y()));
    QWidget* target = f.childAt(at) ? f.childAt(at) : &f;
    QContextMenuEvent event(QContextMenuEvent::Mouse, target->mapFrom(&f, at), f.mapToGlobal(at));
    QApplication::sendEvent(target, &event);
    auto* shown = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(bool(shown), menu);
    if (!menu)
        return;
    QCOMPARE(shown->actions().size(), 1);
    QCOMPARE(shown->actions().first()->text(), QStringLiteral("Schema da ricamo…"));
    QCOMPARE(shown->actions().first()->isEnabled(), picture);
    shown->actions().first()->trigger();
    QCOMPARE(f.findChildren<QDialog*>().size(), picture ? 1 : 0);

    // What the dialog is handed: the picture's file, the swatches the conversion reads (the
    // box's number kept within 1 to 16), the stitch counts.
    f.Text1->setText(QStringLiteral("20"));
    f.Label1[1]->setBackColor(RGB(1, 2, 3));
    const PatternStart start = f.patternStart();
    QCOMPARE(start.picture, picture ? dir.filePath("foto.bmp") : QString());
    QCOMPARE(int(start.swatches.size()), 16);
    QCOMPARE(start.swatches[1], qRgb(1, 2, 3));
    QCOMPARE(QPoint(start.across, start.down), QPoint(45, 50));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
