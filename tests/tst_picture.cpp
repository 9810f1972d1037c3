// Loading source pictures: exact colours, transparency, large photos at a bounded size, the kinds
// of JPEG, files that are not pictures or claim too much, and decoding only when the file
// changed on disk.
#include "app/application.h"
#include "picture/sizes.h"
#include "picture/picture.h"
#include "runtime/runtimeerror.h"
#include "support/gif.h"
#include "support/pictures.h"

#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace trameda;

Q_DECLARE_METATYPE(ReadLimits)

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

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 &&
           std::abs(qBlue(a) - qBlue(b)) <= 3;
}

// Top half red, bottom half blue.
QImage topRed(QSize size, QImage::Format format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    for (int y = 0; y < size.height() / 2; ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image.convertToFormat(format);
}

// The rows of a grey PNG of `size`, unfiltered, then `extra` bytes of noise.
QByteArray greyRows(QSize size, int extra = 0) {
    QByteArray rows;
    for (int y = 0; y < size.height(); ++y)
        rows.append('\0').append(size.width(), '\x80');
    quint32 noise = 1;
    for (int i = 0; i < extra; ++i, noise = noise * 1664525 + 1013904223)
        rows.append(char(noise >> 24));
    return rows;
}

// Left half red, right half blue.
QImage halves(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

} // namespace

class TestPicture : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareApplication(); }
    void uniformBitmapStaysExact();
    void transparencyShowsWhite();
    void kindsOfPicture_data();
    void kindsOfPicture();
    void refusedWithTheirCause_data();
    void refusedWithTheirCause();
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

void TestPicture::kindsOfPicture_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<double>("shape"); // width over height, as the picture is, not as it is kept
    const QRgb red = qRgb(255, 0, 0);
    // 54 megapixels: more than Qt decodes by default, less than a 100-megapixel photo.
    QTest::newRow("baseline 9000 x 6000, shrunk")
        << encoded(uniform({9000, 6000}, qRgb(200, 60, 20), QImage::Format_RGB888), "JPG")
        << QSize(1400, 1400) << QPoint(700, 700) << qRgb(200, 60, 20) << 1.5;
    QTest::newRow("progressive, shrunk")
        << encoded(uniform({3000, 2000}, qRgb(200, 60, 20)), "JPG", true) << QSize(1400, 1400)
        << QPoint(700, 700) << qRgb(200, 60, 20) << 1.5;
    QTest::newRow("grey progressive")
        << encoded(
               uniform({1600, 900}, qRgb(90, 90, 90)).convertToFormat(QImage::Format_Grayscale8),
               "JPG", true)
        << QSize(1400, 900) << QPoint(3, 3) << qRgb(90, 90, 90) << 1600.0 / 900;
    QTest::newRow("progressive cut short, what came shows")
        << encoded(halves({320, 240}), "JPG", true).left(1200) << QSize(320, 240) << QPoint(5, 5)
        << red << 4.0 / 3;
    QTest::newRow("adobe cmyk") << cmykJpeg({30, 20}, red) << QSize(30, 20) << QPoint(15, 10) << red
                                << 1.5;
    // Left half red turned a quarter clockwise: the top half is red.
    QTest::newRow("exif turned") << withOrientation(encoded(halves({64, 32}), "JPG"), 6)
                                 << QSize(32, 64) << QPoint(16, 8) << red << 0.5;
    QTest::newRow("exif after a 2 MB colour profile")
        << withColourProfile(withOrientation(encoded(halves({64, 32}), "JPG"), 6), 2 << 20)
        << QSize(32, 64) << QPoint(16, 8) << red << 0.5;
    QTest::newRow("png saved under a photo's name")
        << encoded(halves({64, 32}), "PNG") << QSize(64, 32) << QPoint(5, 5) << red << 2.0;
    QTest::newRow("16-bit png") << encoded(halves({64, 32}).convertToFormat(QImage::Format_RGBA64),
                                           "PNG")
                                << QSize(64, 32) << QPoint(5, 5) << red << 2.0;
    for (const auto& [bits, format] : {std::pair{8, QImage::Format_Indexed8},
                                       {24, QImage::Format_RGB32},
                                       {32, QImage::Format_ARGB32}})
        QTest::addRow("bmp of %d bits stored top down", bits)
            << topDown(encoded(topRed({40, 30}, format), "BMP")) << QSize(40, 30) << QPoint(5, 5)
            << red << 40.0 / 30;
}

void TestPicture::kindsOfPicture() {
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QPoint, at);
    QFETCH(QRgb, colour);
    QFETCH(double, shape);
    const Picture picture = decodePicture(bytes);
    QCOMPARE(picture.size(), size);
    // Bounded apart, the sides may lose the shape that a thumbnail must keep.
    const QSize kept = picture.proportions();
    QCOMPARE(qRound(100.0 * kept.width() / kept.height()), qRound(100 * shape));
    QVERIFY2(near(picture.image().pixel(at), colour),
             qPrintable(QColor(picture.image().pixel(at)).name()));
}

void TestPicture::refusedWithTheirCause_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ReadLimits>("limits");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");
    const ReadLimits usual;
    const int invalid = RuntimeError::InvalidPicture;
    const QByteArray progressive = encoded(stripes({400, 300}), "JPG", true);
    QTest::newRow("progressive claiming 20000 x 20000")
        << jpegClaiming({20000, 20000}, true) << usual << invalid
        << "immagine troppo grande: 20000 x 20000 pixel";
    QTest::newRow("jpeg 40000 wide") << jpegClaiming({40000, 100}) << usual << invalid
                                     << "immagine troppo grande: 40000 x 100 pixel";
    QTest::newRow("gif 60000 x 60000") << gifClaiming({60000, 60000}) << usual << invalid
                                       << "immagine troppo grande: 60000 x 60000 pixel";
    QTest::newRow("bmp beyond Qt's reader") << bmpClaiming({20000, 20000}) << usual << invalid
                                            << "immagine troppo grande: 20000 x 20000 pixel";
    QTest::newRow("bmp of 40 megapixels, decoded whole")
        << bmpClaiming({8000, 5000}) << usual << invalid
        << "immagine troppo grande: 8000 x 5000 pixel";
    QTest::newRow("150 scans") << withRepeatedScan(progressive, 150) << usual << invalid
                               << "troppe scansioni progressive (più di 100)";
    ReadLimits tight = usual;
    tight.jpegWorkingBytes = 100'000; // 400 x 300 progressive holds 360,000 bytes
    QTest::newRow("progressive beyond its memory")
        << progressive << tight << invalid << "immagine troppo grande: 400 x 300 pixel";
    ReadLimits hurried = usual;
    hurried.milliseconds = 0;
    QTest::newRow("out of time") << progressive << hurried << invalid << "lettura troppo lunga";
    const QByteArray png = greyPng({64, 64}, greyRows({64, 64}));
    QByteArray badChecksum = png;
    badChecksum[png.indexOf("IDAT") + 12] ^= 0x55;
    QTest::newRow("png claiming 40000 x 10") << greyPng({40000, 10}, {}) << usual << invalid
                                             << "immagine troppo grande: 40000 x 10 pixel";
    QTest::newRow("png of 40 megapixels, decoded whole")
        << greyPng({8000, 5000}, {}) << usual << invalid
        << "immagine troppo grande: 8000 x 5000 pixel";
    QTest::newRow("png with data past its rows")
        << greyPng({64, 64}, greyRows({64, 64}, 1 << 20)) << usual << invalid
        << "immagine png con dati in eccesso";
    QTest::newRow("png cut short")
        << png.left(png.size() / 2) << usual << invalid << "immagine png danneggiata";
    QTest::newRow("png with a bad checksum")
        << badChecksum << usual << invalid << "immagine png danneggiata";
    QTest::newRow("png with no width")
        << greyPng({0, 64}, greyRows({0, 64})) << usual << invalid << "immagine png danneggiata";
    for (const char* format : {"PNG", "GIF", "BMP"})
        QTest::addRow("%s out of time", format)
            << (qstrcmp(format, "GIF") == 0
                    ? encodeGif({40, 30}, {qRgb(0, 0, 255)}, {uniformFrame({40, 30}, 0)})
                    : encoded(stripes({40, 30}), format))
            << hurried << invalid << "lettura troppo lunga";
    const QByteArray baseline = encoded(stripes({64, 48}), "JPG");
    QTest::newRow("12-bit jpeg") << withFrame(baseline, 0xC0, 12) << usual << invalid
                                 << "tipo di jpg non supportato";
    QTest::newRow("lossless jpeg")
        << withFrame(baseline, 0xC3, 8) << usual << invalid << "tipo di jpg non supportato";
    QTest::newRow("text") << QByteArray("non sono una foto") << usual << invalid
                          << "non è un'immagine jpg, gif o bmp";
    QTest::newRow("empty") << QByteArray() << usual << invalid << "non è un'immagine";
    QTest::newRow("jpeg of noise") << QByteArray("\xFF\xD8\xFF\xE0").append(200, '\x5A') << usual
                                   << invalid << "immagine jpg danneggiata";
}

void TestPicture::refusedWithTheirCause() {
    QFETCH(QByteArray, bytes);
    QFETCH(ReadLimits, limits);
    QFETCH(int, code);
    QFETCH(QString, says);
    try {
        decodePicture(bytes, limits);
        QFAIL("decoded");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.code(), code);
        QVERIFY2(e.detail().startsWith(says), qPrintable(e.detail()));
    }
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

    // Never opened, so never waited on for a writer.
    const QString fifo = m_dir.filePath("tubo.jpg");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(runtimeErrorCode(fifo), int(RuntimeError::FileAccess));

    if (geteuid() == 0)
        QSKIP("run as root, who may read any file: an unreadable file cannot be made");
    QVERIFY(QFile::setPermissions(text.fileName(), QFileDevice::WriteOwner));
    QCOMPARE(runtimeErrorCode(text.fileName()), int(RuntimeError::PermissionDenied));
}

void TestPicture::unchangedFileIsNotDecodedAgain() {
    const QString path = writeImage(m_dir, "cambia.bmp", uniform({30, 30}, qRgb(1, 2, 3)), "BMP");
    const Picture first = LoadPicture(path);
    const Picture again = LoadPicture(path);
    QCOMPARE(again.image().constBits(), first.image().constBits());
    // The same file within tighter limits is read again, and refused.
    ReadLimits tight;
    tight.maxSide = 20;
    try {
        LoadPicture(path, tight);
        QFAIL("read within limits it exceeds");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.code(), int(RuntimeError::InvalidPicture));
    }

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
