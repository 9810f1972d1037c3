// The palette driven through the window: swatches and pickers in event order, the number of
// colours, the automatic palette button, saving and loading palette files.
#include "app/application.h"
#include "app/form1.h"
#include "palette/colfile.h"
#include "support/fakedialogs.h"
#include "support/window.h"
#include "support/filelimit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace trameda;

namespace {

struct Window : WindowFixture {
    Window() {
        form->show();
        form->activateWindow();
    }
};

// Position in the window of a pixel of a picture box's image.
QPoint inWindow(const PictureBox* box, QPoint pixel) {
    return box->mapTo(box->window(), box->contentsRect().topLeft() + pixel);
}

// The chart pixel of cell (7, 8), colour 3098cf.
const QPoint kCell(9 + 14 * 7 + 6, 8 + 14 * 8 + 6);
const Colour kCellColour = RGB(0x30, 0x98, 0xcf);

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void clickListEntry(FileListBox* list, const QString& name) {
    const auto items = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(name));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items[0]).center());
}

} // namespace

class TestPaletteWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void chartPickInEventOrder();
    void stripCopiesASwatch_data();
    void stripCopiesASwatch();
    void pressesIgnoredWhileAPickerIsOpen();
    void sourcePickerAndChartSurface();
    void colourCountKeptInRange_data();
    void colourCountKeptInRange();
    void automaticPalette();
    void saving();
    void failedSaveLeavesWhatWasThere();
    void loading();
    void failedLoadChangesNothing();
    void paletteListPutAwayUnused_data();
    void paletteListPutAwayUnused();

private:
    QTemporaryDir m_folder; // the current folder, where palette files lie
};

void TestPaletteWindow::initTestCase() {
    prepareApplication();
    QVERIFY(QDir::setCurrent(m_folder.path()));
}

void TestPaletteWindow::chartPickInEventOrder() {
    Window w;
    Form1& f = *w.form;
    QWindow* window = f.windowHandle();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QPoint swatch = f.Label1[5]->geometry().center();

    // The chart opens over the swatch; the release of that press still goes to the swatch.
    QTest::mousePress(window, Qt::LeftButton, {}, swatch);
    QVERIFY(f.Picture2->isVisible());
    QCOMPARE(f.Picture2->geometry().topLeft(), QPoint(100, 120));
    QCOMPARE(f.childAt(swatch), static_cast<QWidget*>(f.Picture2));
    QTest::mouseRelease(window, Qt::LeftButton, {}, swatch);
    QCOMPARE(f.Label1[5]->BackColor(), QBColor(5));
    QCOMPARE(f.aperto, 1);

    // Outside the image (on the box's frame) nothing is read out.
    QTest::mouseMove(window, f.Picture2->mapTo(&f, QPoint(0, 0)));
    QVERIFY(f.Text3->isHidden());
    QTest::mouseMove(window, inWindow(f.Picture2, kCell));
    QVERIFY(f.Text3->isVisible());
    QCOMPARE(f.Text3->geometry().topLeft(), QPoint(0, 0));
    QVERIFY(f.Text3->text().isEmpty());
    QCOMPARE(f.Text3->palette().color(QPalette::Base), toQColor(kCellColour));

    QTest::mouseClick(window, Qt::LeftButton, {}, inWindow(f.Picture2, kCell));
    QCOMPARE(f.Label1[5]->BackColor(), kCellColour);
    QVERIFY(f.Picture2->isHidden() && f.Text3->isHidden());
    QCOMPARE(f.aperto, 0);

    // A press on the chart released outside its image closes it and keeps the swatch.
    QTest::mouseClick(f.Label1[5], Qt::LeftButton);
    QTest::mousePress(f.Picture2, Qt::LeftButton, {}, QPoint(30, 30));
    QTest::mouseRelease(f.Picture2, Qt::LeftButton, {}, QPoint(-40, 30));
    QCOMPARE(f.Label1[5]->BackColor(), kCellColour);
    QVERIFY(f.Picture2->isHidden());
    QVERIFY(w.dialogs.errors.isEmpty());
}

void TestPaletteWindow::stripCopiesASwatch_data() {
    QTest::addColumn<int>("box");
    QTest::newRow("first") << 0;
    QTest::newRow("beyond the colours in use") << 12;
    QTest::newRow("last") << 15;
}

void TestPaletteWindow::stripCopiesASwatch() {
    QFETCH(int, box);
    Window w;
    Form1& f = *w.form;
    f.Text1->setText(QStringLiteral("1")); // the strip shows all 16 whatever the number in use
    f.Label1[std::size_t(box)]->setBackColor(RGB(1, 2, 3));
    QTest::mouseClick(f.Label1[3], Qt::LeftButton);
    const QPoint centre((250 + 450 * box) / 15, 3150 / 15);
    QTest::mouseClick(f.Picture2, Qt::LeftButton, {},
                      f.Picture2->contentsRect().topLeft() + centre);
    QCOMPARE(f.Label1[3]->BackColor(), RGB(1, 2, 3));
}

void TestPaletteWindow::pressesIgnoredWhileAPickerIsOpen() {
    Window w;
    Form1& f = *w.form;
    QTest::mouseClick(f.Label1[4], Qt::MiddleButton);
    QVERIFY(f.Picture2->isHidden() && f.Picture1[1]->isHidden());
    QCOMPARE(f.aperto, 0);

    QTest::mouseClick(f.Label1[2], Qt::LeftButton);
    QTest::mouseClick(f.Label1[7], Qt::RightButton);
    QTest::mouseClick(f.Label1[8], Qt::LeftButton);
    QVERIFY(f.Picture1[1]->isHidden());
    QCOMPARE(f.campione, 2);
    QTest::mouseClick(f.Picture2, Qt::LeftButton, {}, f.Picture2->contentsRect().topLeft() + kCell);
    QCOMPARE(f.Label1[2]->BackColor(), kCellColour);
    QCOMPARE(f.Label1[7]->BackColor(), QBColor(7));
    QCOMPARE(f.Label1[8]->BackColor(), QBColor(8));
}

void TestPaletteWindow::sourcePickerAndChartSurface() {
    Window w;
    Form1& f = *w.form;
    const Colour source = RGB(200, 100, 50);
    f.Picture1[1]->Line(0, 0, 200, 200, source, LineForm::BoxFilled);
    f.Picture1[0]->Line(0, 0, 200, 200, RGB(9, 9, 9), LineForm::BoxFilled);
    const QPoint middle = f.Picture1[0]->rect().center();

    // Never pressed: the chart surface reads the source picture into swatch 0.
    QTest::mouseMove(f.Picture1[0], middle);
    QVERIFY(f.Text3->isHidden());
    QTest::mouseClick(f.Picture1[0], Qt::LeftButton, {}, middle);
    QCOMPARE(f.Label1[0]->BackColor(), source);

    QTest::mouseClick(f.Label1[6], Qt::RightButton);
    QVERIFY(f.Picture1[1]->isVisible());
    QTest::mouseMove(f.Picture1[1], middle);
    QCOMPARE(f.Text3->palette().color(QPalette::Base), toQColor(source));
    QTest::mouseClick(f.Picture1[1], Qt::RightButton, {}, middle);
    QCOMPARE(f.Label1[6]->BackColor(), source);
    QVERIFY(f.Picture1[1]->isHidden() && f.Text3->isHidden());
    QCOMPARE(f.aperto, 0);
}

void TestPaletteWindow::colourCountKeptInRange_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("whileTyping");
    QTest::addColumn<QString>("kept");
    QTest::newRow("20") << "20"
                        << "Converti a 20 colori"
                        << "16";
    QTest::newRow("16") << "16"
                        << "Converti a 16 colori"
                        << "16";
    QTest::newRow("2.5") << "2.5"
                         << "Converti a 2.5 colori"
                         << "2.5";
    QTest::newRow("12abc") << "12abc"
                           << "Converti a 12 colori"
                           << "12abc";
    QTest::newRow("0") << "0"
                       << "Converti a 0 colori"
                       << "1";
    QTest::newRow("empty") << ""
                           << "Converti a 0 colori"
                           << "1";
    QTest::newRow("abc") << "abc"
                         << "Converti a 0 colori"
                         << "1";
    QTest::newRow("-5") << "-5"
                        << "Converti a-5 colori"
                        << "1";
    QTest::newRow("-3") << "-3"
                        << "Converti a-3 colori"
                        << "1";
    QTest::newRow("0.5") << "0.5"
                         << "Converti a 0.5 colori"
                         << "1";
    QTest::newRow("beyond a double") << "1e999"
                                     << "Converti a 1.79769313486232E+308 colori"
                                     << "16";
    QTest::newRow("below a double") << "-1e999"
                                    << "Converti a-1.79769313486232E+308 colori"
                                    << "1";
}

void TestPaletteWindow::colourCountKeptInRange() {
    QFETCH(QString, typed);
    QFETCH(QString, whileTyping);
    QFETCH(QString, kept);
    Window w;
    Form1& f = *w.form;
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.Text1->setFocus();
    f.Text1->selectAll();
    QTest::keyClick(f.Text1, Qt::Key_Delete);
    QTest::keyClicks(f.Text1, typed);
    QCOMPARE(f.Command2->text(), whileTyping);
    QTest::mouseClick(f.Command3, Qt::LeftButton); // a button takes the focus
    QCOMPARE(f.Text1->text(), kept);
    QCOMPARE(f.Command2->text(), kept == "1"    ? "Converti a 1 colori"
                                 : kept == "16" ? "Converti a 16 colori"
                                                : whileTyping);
    QVERIFY(w.dialogs.errors.isEmpty());
}

void TestPaletteWindow::automaticPalette() {
    Window w;
    Form1& f = *w.form;
    f.Picture1[1]->Line(0, 0, 200, 200, RGB(10, 200, 30), LineForm::BoxFilled);
    f.Check5->setChecked(true);
    QTest::mouseClick(f.Command7, Qt::LeftButton);
    QCOMPARE(f.Label1[0]->BackColor(), RGB(85, 255, 85));
    for (std::size_t i = 1; i < 16; ++i)
        QCOMPARE(f.Label1[i]->BackColor(), 0xFFFFFF);
    QCOMPARE(f.Text1->text(), QStringLiteral("1"));
    QCOMPARE(f.Command2->text(), QStringLiteral("Converti a 1 colori"));
    QCOMPARE(f.conta[1][3][1], -1);
    QCOMPARE(f.tinte[1][3][1], RGB(85, 255, 85));
}

void TestPaletteWindow::saving() {
    Window w;
    Form1& f = *w.form;
    const QString path = QDir::current().filePath(QStringLiteral("colori.col"));
    QFile::remove(path);
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    const QByteArray startUp = contents(path);
    QCOMPARE(startUp.size(), 159);
    QVERIFY(w.dialogs.questions.isEmpty());

    f.Label1[0]->setBackColor(RGB(1, 2, 3));
    w.dialogs.answers = {false};
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    QCOMPARE(w.dialogs.questions,
             QStringList{QStringLiteral("File già esistente. Sovrascrivere?")});
    QCOMPARE(contents(path), startUp);
    w.dialogs.answers = {true};
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    QVERIFY(contents(path).startsWith(" 197121 \r\n 8388608 \r\n"));

    // An empty file is replaced without a question.
    writeFile(QDir::current().filePath(QStringLiteral("vuoto.col")), {});
    f.Text2->setText(QStringLiteral("vuoto"));
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    QCOMPARE(w.dialogs.questions.size(), 2);
    QCOMPARE(contents(QStringLiteral("vuoto.col")), contents(path));
    QVERIFY(w.dialogs.errors.isEmpty());
}

void TestPaletteWindow::failedSaveLeavesWhatWasThere() {
    Window w;
    Form1& f = *w.form;
    // No such folder; and a folder standing where the file would go.
    f.Text2->setText(QStringLiteral("nessuna/cartella/colori"));
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    QVERIFY(QDir::current().mkpath(QStringLiteral("cartella.col")));
    writeFile(QStringLiteral("cartella.col/dentro.txt"), "resta");
    f.Text2->setText(QStringLiteral("cartella"));
    QTest::mouseClick(f.Command3, Qt::LeftButton);

    // No name, or a folder alone: the file would be ".col", hidden and never listed.
    for (const QString& name : {QString(), QStringLiteral("cartella.col/")}) {
        f.Text2->setText(name);
        QTest::mouseClick(f.Command3, Qt::LeftButton);
        QVERIFY(!QFileInfo::exists(name + QStringLiteral(".col")));
    }

    QCOMPARE(w.dialogs.errors.size(), 4);
    QVERIFY(w.dialogs.errors[0].contains(QStringLiteral("nessuna/cartella/colori.col")));
    QVERIFY(w.dialogs.errors[1].startsWith(QStringLiteral("Impossibile salvare i colori")));
    QVERIFY(w.dialogs.errors[3].contains(QStringLiteral("\u201CSalva colori\u201D")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("nessuna")));
    QCOMPARE(contents(QStringLiteral("cartella.col/dentro.txt")), QByteArray("resta"));
    QVERIFY(w.dialogs.questions.isEmpty());

    // A disk that fills up on the way: the old file stays, and the message says why.
    writeFile(QStringLiteral("pieno.col"), "vecchio");
    f.Text2->setText(QStringLiteral("pieno"));
    {
        FileSizeLimit full(100);
        QTest::mouseClick(f.Command3, Qt::LeftButton);
    }
    QCOMPARE(contents(QStringLiteral("pieno.col")), QByteArray("vecchio"));
    QCOMPARE(QDir::current().entryList({QStringLiteral("*pieno*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("pieno.col")});
    QVERIFY(w.dialogs.errors.last().contains(QStringLiteral("“pieno.col”: file troppo grande")));
    // The window goes on: the next save works.
    f.Text2->setText(QStringLiteral("dopo"));
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    QCOMPARE(contents(QStringLiteral("dopo.col")).size(), 159);
}

void TestPaletteWindow::loading() {
    Window w;
    Form1& f = *w.form;
    // Saved, then edited by hand: commas, a text field, a fraction, an extra value.
    f.Text2->setText(QStringLiteral("giro"));
    f.Label1[9]->setBackColor(RGB(11, 22, 33));
    QTest::mouseClick(f.Command3, Qt::LeftButton);
    const QByteArray saved = contents(QStringLiteral("giro.col"));
    writeFile(QStringLiteral("mano.col"),
              "0, 255\r\nrosso\r\n2.5\r\n" + saved.mid(saved.indexOf(" 8421376")) + "99\r\n");

    QTest::mouseClick(f.Command4, Qt::LeftButton);
    QVERIFY(f.File2->isVisible());
    QCOMPARE(f.File2->geometry().topLeft(), QPoint(112, 248));
    f.Text1->setText(QStringLiteral("5"));
    clickListEntry(f.File2, QStringLiteral("mano.col"));
    QVERIFY(f.File2->isHidden());
    QCOMPARE(f.Text2->text(), QStringLiteral("mano"));
    QCOMPARE(f.Text1->text(), QStringLiteral("5"));
    const QList<Colour> expected{0, 255, 0, 2, QBColor(3), QBColor(4)};
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(f.Label1[std::size_t(i)]->BackColor(), expected[i]);

    // Round trip: what was saved comes back unchanged.
    QTest::mouseClick(f.Command4, Qt::LeftButton);
    clickListEntry(f.File2, QStringLiteral("giro.col"));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(f.Label1[std::size_t(i)]->BackColor(), i == 9 ? RGB(11, 22, 33) : QBColor(i));
    QVERIFY(w.dialogs.errors.isEmpty());
}

void TestPaletteWindow::failedLoadChangesNothing() {
    Window w;
    Form1& f = *w.form;
    writeFile(QStringLiteral("corto.col"), " 255 \r\n 255 \r\n");
    writeFile(QStringLiteral("buono.col"), palette::writeColFile({}));
    QTest::mouseClick(f.Command4, Qt::LeftButton);
    clickListEntry(f.File2, QStringLiteral("corto.col"));
    QVERIFY(f.File2->isHidden());
    QVERIFY(w.dialogs.errors.last().contains(QStringLiteral("corto.col")));
    QCOMPARE(f.Text2->text(), QStringLiteral("colori"));
    for (int i = 0; i < 16; ++i)
        QCOMPARE(f.Label1[std::size_t(i)]->BackColor(), QBColor(i));
    QCOMPARE(w.dialogs.errors.size(), 1);
    // A later load works.
    QTest::mouseClick(f.Command4, Qt::LeftButton);
    clickListEntry(f.File2, QStringLiteral("buono.col"));
    QCOMPARE(f.Label1[15]->BackColor(), 0);
    QCOMPARE(f.Text2->text(), QStringLiteral("buono"));
}

void TestPaletteWindow::paletteListPutAwayUnused_data() {
    QTest::addColumn<bool>("files");
    // On the button just clicked, which keeps the focus; Key_unknown: a mouse press beside the
    // list.
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Escape, files listed") << true << Qt::Key_Escape;
    QTest::newRow("Escape, nothing listed") << false << Qt::Key_Escape;
    QTest::newRow("second click, files listed") << true << Qt::Key_Space;
    QTest::newRow("second click, nothing listed") << false << Qt::Key_Space;
    QTest::newRow("press beside the list") << false << Qt::Key_unknown;
}

void TestPaletteWindow::paletteListPutAwayUnused() {
    QFETCH(bool, files);
    QFETCH(Qt::Key, key);
    QTemporaryDir empty;
    Window w;
    Form1& f = *w.form;
    QVERIFY(QTest::qWaitForWindowActive(&f));
    writeFile(QStringLiteral("nero.col"), palette::writeColFile({}));
    f.File2->setPath(files ? QDir::currentPath() : empty.path());
    QTest::mouseClick(f.Command4, Qt::LeftButton);
    QVERIFY(f.File2->isVisible());
    if (key == Qt::Key_unknown)
        QTest::mouseClick(f.Check4, Qt::LeftButton);
    else
        QTest::keyClick(QApplication::focusWidget(), key);
    QVERIFY(f.File2->isHidden());
    QCOMPARE(f.Label1[15]->BackColor(), QBColor(15)); // nothing loaded
    QTest::mouseClick(f.Command4, Qt::LeftButton);
    QCOMPARE(f.File2->geometry().topLeft(), QPoint(112, 248)); // shown again where it stood
}

QTEST_MAIN(TestPaletteWindow)
#include "tst_palettewindow.moc"
