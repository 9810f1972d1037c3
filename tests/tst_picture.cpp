// Loading source pictures: exact colours, transparency, large photos at a bounded size, files
// that are not pictures, and decoding only when the file changed on disk.
#include "app/application.h"
#include "picture/sizes.h"
#include "platform/picture.h"
#include "platform/runtimeerror.h"
#include "support/gif.h"

#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace trameda;

namespace {

QString writeImage(const QTemporaryDir& dir, const QString& name, const QImage& image,
                   const char* format, int quality = -1) {
    const QString path = dir.filePath(name);
    QImageWriter writer(path, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QImage uniform(QSize size, QRgb colour, QImage::Format format = QImage::Format_RGB32) {
    QImage image(size, format);
    image.fill(colour);
    return image;
}

int runtimeErrorCode(const QString& path) {
    try {
        LoadPicture(path);
    } catch (const RuntimeError& e) {
        return e.code();
    }
    return 0;
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareApplication(); }
    void uniformBitmapStaysExact();
    void transparencyShowsWhite();
    void largePhotoLoadsAtBoundedSize();
    void failuresAreReported();
    void unchangedFileIsNotDecodedAgain();
    void sourcePath_data();
    void sourcePath();
    void coupledSide_data();
    void coupledSide();

private:
    QTemporaryDir m_dir;
};

void TestPicture::uniformBitmapStaysExact() {
    const QRgb colour = qRgb(0x30, 0x98, 0xcf);
    const Picture picture =
        LoadPicture(writeImage(m_dir, "blu.bmp", uniform({640, 480}, colour), "BMP"));
    QCOMPARE(picture.size(), QSize(640, 480));
    const QImage scaled = picture.scaled(QSize(396, 441));
    for (QPoint p : {QPoint(0, 0), QPoint(395, 440), QPoint(200, 17)})
        QCOMPARE(scaled.pixel(p), colour);
}

void TestPicture::transparencyShowsWhite() {
    // Left half red, right half transparent.
    GifFrame frame = uniformFrame({20, 10}, 1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            frame.indices[y * 20 + x] = 0;
    QFile file(m_dir.filePath("trasparente.gif"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(encodeGif({20, 10}, {qRgb(255, 0, 0), qRgb(0, 0, 0)}, {frame}, 1));
    file.close();
    const Picture gif = LoadPicture(file.fileName());
    QCOMPARE(gif.image().pixel(2, 2), qRgb(255, 0, 0));
    QCOMPARE(gif.image().pixel(15, 5), qRgb(255, 255, 255));
}

void TestPicture::largePhotoLoadsAtBoundedSize() {
    // 54 megapixels: more than Qt decodes by default, less than a 100-megapixel photo.
    const QSize full(9000, 6000);
    const QString path = writeImage(
        m_dir, "foto.jpg", uniform(full, qRgb(200, 60, 20), QImage::Format_RGB888), "JPG", 95);
    const Picture photo = LoadPicture(path);
    QVERIFY(!photo.isNull());
    QVERIFY(photo.size().width() <= Picture::kMaxSide &&
            photo.size().height() <= Picture::kMaxSide);
    const QRgb centre = photo.image().pixel(photo.size().width() / 2, photo.size().height() / 2);
    QVERIFY(std::abs(qRed(centre) - 200) <= 2 && std::abs(qGreen(centre) - 60) <= 2 &&
            std::abs(qBlue(centre) - 20) <= 2);
}

void TestPicture::failuresAreReported() {
    QCOMPARE(runtimeErrorCode(m_dir.filePath("nessuno.jpg")), int(RuntimeError::FileNotFound));
    QCOMPARE(runtimeErrorCode(m_dir.path()), int(RuntimeError::FileNotFound));

    QFile text(m_dir.filePath("testo.gif"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("questo non è un GIF\n");
    text.close();
    QCOMPARE(runtimeErrorCode(text.fileName()), int(RuntimeError::InvalidPicture));

    QFile empty(m_dir.filePath("vuoto.bmp"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    QCOMPARE(runtimeErrorCode(empty.fileName()), int(RuntimeError::InvalidPicture));
}

void TestPicture::unchangedFileIsNotDecodedAgain() {
    const QString path = writeImage(m_dir, "cambia.bmp", uniform({30, 30}, qRgb(1, 2, 3)), "BMP");
    const Picture first = LoadPicture(path);
    const Picture again = LoadPicture(path);
    QCOMPARE(again.image().constBits(), first.image().constBits());

    // Written anew with another colour and another time stamp: read again.
    QFile::remove(path);
    writeImage(m_dir, "cambia.bmp", uniform({30, 30}, qRgb(4, 5, 6)), "BMP");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                             QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(LoadPicture(path).image().pixel(0, 0), qRgb(4, 5, 6));

    QFile::remove(path);
    QCOMPARE(runtimeErrorCode(path), int(RuntimeError::FileNotFound));
}

void TestPicture::sourcePath_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << "/home/anna/foto"
                            << "/home/anna/foto/rosa.jpg";
    QTest::newRow("root") << "/"
                          << "/rosa.jpg";
    QTest::newRow("trailing separator") << "/mnt/"
                                        << "/mnt/rosa.jpg";
}

void TestPicture::sourcePath() {
    QFETCH(QString, folder);
    QTEST(picture::sourcePath(folder, QStringLiteral("rosa.jpg")), "path");
}

void TestPicture::coupledSide_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<int>("side");
    QTest::newRow("start-up width") << 600 << 50 << 45 << 666;
    QTest::newRow("700 wide") << 700 << 50 << 45 << 777;
    QTest::newRow("square cells") << 600 << 45 << 50 << 540;
    QTest::newRow("truncated to zero") << 1 << 1 << 150 << 0;
    QTest::newRow("held to max") << 2000 << 150 << 1 << 2000;
    QTest::newRow("beyond 16 bits") << 2000 << 150 << 149 << 2000;
}

void TestPicture::coupledSide() {
    QFETCH(int, value);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QTEST(picture::coupledSide(value, numerator, denominator, 0, 2000), "side");
}

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"
