// The drawing surfaces: the 200 x 200 user scale, pixel reads at the edges, the three forms of
// Line, text, persistence while hidden, and stretching a picture by area averaging.
#include "app/application.h"
#include "runtime/controls.h"
#include "picture/imagescale.h"
#include "picture/picture.h"
#include "picture/surfaces.h"
#include "runtime/runtimeerror.h"
#include "runtime/surface.h"

#include <QTest>
#include <climits>
#include <new>

using namespace trameda;

namespace {

// A surface of `px` pixels with the 200 x 200 scale.
struct Board {
    explicit Board(QSize px) {
        surface.setBackColor(0xFFFFFF);
        surface.resizeImage(px);
        surface.setScaleHeight(200);
        surface.setScaleWidth(200);
    }
    QRgb at(int x, int y) const { return surface.image().pixel(x, y); }
    ImageSurface surface;
};

QImage filled(QSize size, QRgb rgb) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(rgb);
    return image;
}

} // namespace

class TestSurface : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareApplication(); }
    void pointAtTheEdges();
    void defaultScaleIsTwips();
    void boxesIncludeBothCorners();
    void plainLineWidth();
    void printWritesInForeColor();
    void resizeKeepsDrawing();
    void hiddenBoxFollowsItsSize();
    void areaScaleKeepsUniformColourExact_data();
    void areaScaleKeepsUniformColourExact();
    void areaScaleAverages();
    void paintPictureCoversTheWholeBox();
    void impossibleSizesRunOutOfMemory();
    void finishedImageSharesThePixels();
};

void TestSurface::pointAtTheEdges() {
    Board b(QSize(396, 441));
    b.surface.Line(0, 0, 200, 200, RGB(10, 20, 30), LineForm::BoxFilled);
    QCOMPARE(b.surface.Point(0, 0), RGB(10, 20, 30));
    QCOMPARE(b.surface.Point(199, 199), RGB(10, 20, 30));
    QCOMPARE(b.surface.Point(199.99, 199.99), RGB(10, 20, 30));
    QCOMPARE(b.surface.Point(200, 0), NoColour);
    QCOMPARE(b.surface.Point(0, 200), NoColour);
    QCOMPARE(b.surface.Point(-0.01, 5), NoColour);
    QCOMPARE(b.surface.Point(1e300, 5), NoColour);

    ImageSurface empty; // a surface with no pixels at all, as a 10-twip box has
    empty.setScaleWidth(200);
    empty.setScaleHeight(200);
    QCOMPARE(empty.Point(0, 0), NoColour);
    empty.Line(0, 0, 10, 10, 0); // draws nothing and does not fail
}

void TestSurface::defaultScaleIsTwips() {
    ImageSurface s;
    s.resizeImage(QSize(485, 245));
    QCOMPARE(s.ScaleWidth(), 485.0 * 15);
    QCOMPARE(s.ScaleHeight(), 245.0 * 15);
    s.Line(100, 3000, 400, 3300, RGB(1, 2, 3), LineForm::BoxFilled);
    QCOMPARE(s.Point(100, 3000), RGB(1, 2, 3));        // pixel (6, 200)
    QCOMPARE(s.image().pixel(26, 220), qRgb(1, 2, 3)); // 400 / 15 = 26.7, 3300 / 15 = 220
    QCOMPARE(s.image().pixel(27, 221), qRgb(0xFF, 0xFF, 0xFF));
}

void TestSurface::boxesIncludeBothCorners() {
    // 200 pixels: one unit is one pixel.
    Board b(QSize(200, 200));
    b.surface.Line(4, 4, 8, 8, RGB(255, 0, 0), LineForm::BoxFilled);
    QCOMPARE(b.at(4, 4), qRgb(255, 0, 0));
    QCOMPARE(b.at(8, 8), qRgb(255, 0, 0));
    QCOMPARE(b.at(9, 8), qRgb(255, 255, 255));
    QCOMPARE(b.at(3, 4), qRgb(255, 255, 255));

    b.surface.Line(20, 20, 24, 26, RGB(0, 0, 255), LineForm::Box);
    QCOMPARE(b.at(20, 20), qRgb(0, 0, 255));
    QCOMPARE(b.at(24, 26), qRgb(0, 0, 255));
    QCOMPARE(b.at(24, 23), qRgb(0, 0, 255));
    QCOMPARE(b.at(22, 23), qRgb(255, 255, 255)); // only the outline
    QCOMPARE(b.at(25, 26), qRgb(255, 255, 255));

    // Corners given the other way round draw the same box.
    b.surface.Line(48, 48, 40, 40, RGB(0, 255, 0), LineForm::BoxFilled);
    QCOMPARE(b.at(40, 40), qRgb(0, 255, 0));
    QCOMPARE(b.at(48, 48), qRgb(0, 255, 0));
}

void TestSurface::plainLineWidth() {
    Board b(QSize(200, 200));
    b.surface.setDrawWidth(5);
    b.surface.Line(10, 100, 190, 100, 0);
    int covered = 0;
    for (int y = 90; y < 110; ++y)
        covered += b.at(100, y) == qRgb(0, 0, 0) ? 1 : 0;
    QCOMPARE(covered, 5);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, b.surface.setDrawWidth(0));
}

void TestSurface::printWritesInForeColor() {
    Board b(QSize(400, 400));
    b.surface.setFontSize(12);
    b.surface.setForeColor(RGB(200, 0, 0));
    b.surface.setCurrentX(50);
    b.surface.setCurrentY(50);
    b.surface.Print(QStringLiteral("A"));
    // Text starts at (100, 100) pixels and is about 16 pixels high for 12 points.
    int red = 0;
    QRect ink;
    for (int y = 80; y < 140; ++y)
        for (int x = 80; x < 140; ++x)
            if (qRed(b.at(x, y)) > 150 && qGreen(b.at(x, y)) < 100) {
                ++red;
                ink |= QRect(x, y, 1, 1);
            }
    QVERIFY(red > 10);
    QVERIFY2(ink.top() >= 100 && ink.left() >= 100,
             qPrintable(QStringLiteral("ink at %1,%2").arg(ink.left()).arg(ink.top())));
    QVERIFY(ink.bottom() < 100 + 20);
    QCOMPARE(b.surface.CurrentX(), 0.0);
    QVERIFY(b.surface.CurrentY() > 50);
}

void TestSurface::resizeKeepsDrawing() {
    Board b(QSize(100, 100));
    b.surface.Line(0, 0, 200, 200, RGB(9, 9, 9), LineForm::BoxFilled);
    b.surface.setBackColor(RGB(0, 0, 255));
    b.surface.resizeImage(QSize(150, 120));
    QCOMPARE(b.surface.image().pixel(99, 99), qRgb(9, 9, 9));
    QCOMPARE(b.surface.image().pixel(120, 50), qRgb(0, 0, 255)); // BackColor 0x00BBGGRR
    QCOMPARE(b.surface.ScaleWidth(), 200.0);                     // a user scale survives a resize
}

void TestSurface::hiddenBoxFollowsItsSize() {
    QWidget window;
    auto* box = new PictureBox(&window);
    box->hide();
    box->setWidth(6000);
    box->setHeight(6670);
    QCOMPARE(box->Width(), 6000);
    QCOMPARE(box->Height(), 6670);
    // 400 x 445 pixels less a 2-pixel border on each side.
    QCOMPARE(box->image().size(), QSize(396, 441));
    box->setWidth(10);
    QVERIFY(box->image().isNull());
    QCOMPARE(box->Point(0, 0), trameda::NoColour);
}

void TestSurface::areaScaleKeepsUniformColourExact_data() {
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::newRow("shrink") << QSize(1400, 1033) << QSize(396, 441);
    QTest::newRow("odd shrink") << QSize(997, 13) << QSize(7, 3);
    QTest::newRow("stretch") << QSize(3, 2) << QSize(396, 441);
    QTest::newRow("one pixel") << QSize(1, 1) << QSize(1329, 1329);
    QTest::newRow("wide to tall") << QSize(10000, 1) << QSize(20, 700);
}

void TestSurface::areaScaleKeepsUniformColourExact() {
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    for (QRgb colour : {qRgb(255, 255, 255), qRgb(0x30, 0x98, 0xcf), qRgb(1, 254, 127)}) {
        const QImage scaled = areaScale(filled(from, colour), to);
        QCOMPARE(scaled.size(), to);
        for (int y = 0; y < to.height(); y += std::max(1, to.height() / 17))
            for (int x = 0; x < to.width(); x += std::max(1, to.width() / 13))
                QCOMPARE(scaled.pixel(x, y), colour);
    }
}

void TestSurface::areaScaleAverages() {
    // Two black and two white columns shrunk to one pixel give mid grey; stripes of one
    // pixel stay sharp when nothing is shrunk.
    QImage stripes(4, 2, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            stripes.setPixel(x, y, x < 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    QCOMPARE(areaScale(stripes, QSize(1, 1)).pixel(0, 0), qRgb(128, 128, 128));
    const QImage half = areaScale(stripes, QSize(2, 1));
    QCOMPARE(half.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(half.pixel(1, 0), qRgb(255, 255, 255));
    // Three source pixels into two: the middle one is shared half and half.
    QImage three(3, 1, QImage::Format_RGB32);
    three.setPixel(0, 0, qRgb(0, 0, 0));
    three.setPixel(1, 0, qRgb(90, 90, 90));
    three.setPixel(2, 0, qRgb(240, 240, 240));
    const QImage two = areaScale(three, QSize(2, 1));
    QCOMPARE(two.pixel(0, 0), qRgb(30, 30, 30));    // (0 + 0.5 x 90) / 1.5
    QCOMPARE(two.pixel(1, 0), qRgb(190, 190, 190)); // (0.5 x 90 + 240) / 1.5
}

void TestSurface::paintPictureCoversTheWholeBox() {
    Board b(QSize(396, 441));
    QImage wide(800, 100, QImage::Format_RGB32);
    wide.fill(qRgb(0, 0, 0));
    for (int y = 0; y < 100; ++y)
        for (int x = 400; x < 800; ++x)
            wide.setPixel(x, y, qRgb(255, 255, 0));
    picture::PaintPicture(b.surface, Picture(wide), 0, 0, 200, 200);
    QCOMPARE(b.at(0, 0), qRgb(0, 0, 0));
    QCOMPARE(b.at(197, 440), qRgb(0, 0, 0));
    QCOMPARE(b.at(199, 0), qRgb(255, 255, 0));
    QCOMPARE(b.at(395, 440), qRgb(255, 255, 0));
    QCOMPARE(b.surface.Point(199, 199), RGB(255, 255, 0));
}

void TestSurface::impossibleSizesRunOutOfMemory() {
    // More bytes than an address space holds: the allocation fails as any failed one would.
    const QSize impossible(INT_MAX, INT_MAX);
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, areaScale(filled({8, 8}, qRgb(1, 2, 3)), impossible));
    Board b(QSize(10, 10));
    b.surface.Line(0, 0, 200, 200, RGB(10, 20, 30), LineForm::BoxFilled);
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc, b.surface.resizeImage(impossible));
    // The surface keeps its image and goes on drawing.
    QCOMPARE(b.surface.image().size(), QSize(10, 10));
    QCOMPARE(b.surface.Point(100, 100), RGB(10, 20, 30));
    b.surface.Line(0, 0, 200, 200, RGB(40, 50, 60), LineForm::BoxFilled);
    QCOMPARE(b.surface.Point(100, 100), RGB(40, 50, 60));
}

void TestSurface::finishedImageSharesThePixels() {
    // Written out while drawing is under way, the image is not copied whole (which a large chart
    // short of memory could not afford).
    Board b(QSize(50, 40));
    b.surface.Line(0, 0, 100, 100, RGB(1, 2, 3), LineForm::BoxFilled);
    const QImage finished = b.surface.finishedImage();
    QCOMPARE(finished.constBits(), b.surface.image().constBits());
    QCOMPARE(finished.pixel(0, 0), qRgb(1, 2, 3));
}

QTEST_MAIN(TestSurface)
#include "tst_surface.moc"
