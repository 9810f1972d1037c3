// Troublesome files a user's picture folder can hold. Whatever they are, the window neither
// crashes nor hangs, memory stays bounded, and a picture that fails to load leaves the previous
// one on the surfaces.
#include "app/application.h"
#include "app/form1.h"
#include "picture/picture.h"
#include "runtime/runtimeerror.h"
#include "support/fakedialogs.h"
#include "support/gif.h"
#include "support/pictures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace trameda;

namespace {

constexpr QRgb kPrevious = qRgb(12, 34, 56);

QByteArray corrupted(QByteArray bytes) {
    for (qsizetype i = bytes.size() / 3; i < bytes.size(); i += 7)
        bytes[i] = char(bytes[i] ^ 0x5A);
    return bytes;
}

bool writeBytes(QFile& file, const QByteArray& bytes) {
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// A field of /proc/self/status in megabytes: VmRSS (resident now), VmHWM (its peak).
long statusMegabytes(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

// The peak resident size is set back to the present one, so that a row measures its own peak
// whatever rows ran before it. Returns the present size, or -1 when the peak cannot be reset.
long resetPeakMegabytes() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    return statusMegabytes("VmRSS");
}

bool underSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

} // namespace

class TestBadPictures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void failingFilesKeepThePreviousPicture_data();
    void failingFilesKeepThePreviousPicture();
    void oddButValidFilesLoad_data();
    void oddButValidFilesLoad();
    void damagedOrHugeFilesAreSurvived_data();
    void damagedOrHugeFilesAreSurvived();
    void fileReplacedBetweenListingAndClick();
    void unreadableFolder();

private:
    // Loads `name` from the list after a picture of kPrevious colour.
    void clickAfterPrevious(const QString& name);

    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;
    std::unique_ptr<Form1> m_form;
};

void TestBadPictures::initTestCase() {
    prepareApplication();
    QImage previous(32, 32, QImage::Format_RGB32);
    previous.fill(kPrevious);
    QVERIFY(previous.save(m_dir.filePath("0-precedente.bmp"), "BMP"));
    m_form = std::make_unique<Form1>(m_dialogs);
}

void TestBadPictures::clickAfterPrevious(const QString& name) {
    Form1& f = *m_form;
    f.File1->setPath(m_dir.path());
    f.File1->setCurrentRow(f.File1->row(
        f.File1->findItems(QStringLiteral("0-precedente.bmp"), Qt::MatchExactly).first()));
    QCOMPARE(f.Picture1[1]->Point(100, 100), RGB(12, 34, 56));
    const auto items = f.File1->findItems(name, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(name + QStringLiteral(" is not listed")));
    QElapsedTimer timer;
    timer.start();
    f.File1->setCurrentItem(items.first());
    QVERIFY2(timer.elapsed() < 10000,
             qPrintable(QStringLiteral("%1 took %2 ms").arg(name).arg(timer.elapsed())));
    QVERIFY(f.Command2->isEnabled());
    QVERIFY(m_dialogs.errors.isEmpty());
}

void TestBadPictures::failingFilesKeepThePreviousPicture_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray jpeg = encoded(stripes({200, 150}), "JPG");
    const QByteArray bmp = encoded(stripes({200, 150}), "BMP");
    const QByteArray gif = encodeGif({40, 30}, {qRgb(0, 0, 255)}, {uniformFrame({40, 30}, 0)});
    QTest::newRow("empty jpg") << "vuoto.jpg" << QByteArray();
    QTest::newRow("empty gif") << "vuoto.gif" << QByteArray();
    QTest::newRow("empty bmp") << "vuoto.bmp" << QByteArray();
    QTest::newRow("text named gif")
        << "testo.gif" << QByteArray("GIF? no, una lista della spesa\n");
    QTest::newRow("jpeg header only") << "testa.jpg" << jpeg.left(20);
    QTest::newRow("gif header only") << "testa.gif" << gif.left(13);
    QTest::newRow("bmp header only") << "testa.bmp" << bmp.left(30);
    QTest::newRow("bmp of zero size") << "zero.bmp" << bmpClaiming({0, 0});
    QTest::newRow("binary noise") << "rumore.bmp" << QByteArray(4096, '\xA7');
}

void TestBadPictures::failingFilesKeepThePreviousPicture() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFile file(m_dir.filePath(name));
    QVERIFY(writeBytes(file, bytes));
    clickAfterPrevious(name);
    for (PictureBox* surface : m_form->Picture1)
        QCOMPARE(surface->Point(150, 150), RGB(12, 34, 56));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, LoadPicture(file.fileName()));
}

void TestBadPictures::oddButValidFilesLoad_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exact"); // lossless: the surface must show exactly 200, 0, 0 at left
    const QByteArray jpeg = encoded(stripes({200, 150}), "JPG");
    const QByteArray bmp = encoded(stripes({200, 150}), "BMP");
    QTest::newRow("truncated jpeg") << "troncata.jpg" << jpeg.left(jpeg.size() * 2 / 3) << false;
    QTest::newRow("truncated bmp") << "troncata.bmp" << bmp.left(bmp.size() / 2) << false;
    QTest::newRow("bmp named jpg") << "travestita.jpg" << bmp << true;
    QTest::newRow("bmp stored top down") << "dall-alto.bmp" << topDown(bmp) << true;
    QTest::newRow("one pixel") << "punto.bmp" << encoded(stripes({1, 1}), "BMP") << true;
    QTest::newRow("10000 x 1") << "riga.bmp" << encoded(stripes({10000, 1}), "BMP") << false;
    QTest::newRow("1 x 10000") << "colonna.gif"
                               << encodeGif({1, 10000}, {qRgb(200, 0, 0)},
                                            {uniformFrame({1, 10000}, 0)})
                               << true;
    GifFrame second = uniformFrame({16, 16}, 1);
    QTest::newRow("animated gif") << "animata.gif"
                                  << encodeGif({16, 16}, {qRgb(200, 0, 0), qRgb(0, 200, 0)},
                                               {uniformFrame({16, 16}, 0), second})
                                  << true;
    QTest::newRow("accents and spaces") << "città di mare.bmp" << bmp << true;
    QTest::newRow("cyrillic") << "пейзаж.bmp" << bmp << true;
    QTest::newRow("chinese") << "风景.bmp" << bmp << true;
}

void TestBadPictures::oddButValidFilesLoad() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exact);
    QFile file(m_dir.filePath(name));
    QVERIFY(writeBytes(file, bytes));
    clickAfterPrevious(name);
    QVERIFY2(m_form->Picture1[1]->Point(0, 0) != RGB(12, 34, 56),
             qPrintable(name + QStringLiteral(" did not load")));
    if (exact)
        QCOMPARE(m_form->Picture1[0]->Point(0, 0), RGB(200, 0, 0));
}

void TestBadPictures::damagedOrHugeFilesAreSurvived_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("corrupted jpeg")
        << "guasta.jpg" << corrupted(encoded(stripes({200, 150}), "JPG"));
    QTest::newRow("corrupted bmp")
        << "guasta.bmp" << corrupted(encoded(stripes({200, 150}), "BMP"));
    QTest::newRow("jpeg 60000 x 60000") << "enorme.jpg" << jpegClaiming({60000, 60000});
    QTest::newRow("jpeg 65000 x 100") << "lunga.jpg" << jpegClaiming({65000, 100});
    QTest::newRow("progressive jpeg 20000 x 20000")
        << "progressiva.jpg" << jpegClaiming({20000, 20000}, true);
    QTest::newRow("progressive jpeg of 2000 scans")
        << "scansioni.jpg" << withRepeatedScan(encoded(stripes({1000, 1000}), "JPG", true), 2000);
    QTest::newRow("bmp 60000 x 60000") << "enorme.bmp" << bmpClaiming({60000, 60000});
    QTest::newRow("bmp negative height") << "rovescia.bmp" << bmpClaiming({60000, -60000});
    QTest::newRow("gif 60000 x 60000") << "enorme.gif" << gifClaiming({60000, 60000});
}

void TestBadPictures::damagedOrHugeFilesAreSurvived() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFile file(m_dir.filePath(name));
    QVERIFY(writeBytes(file, bytes));
    const long before = resetPeakMegabytes();
    clickAfterPrevious(name);
    // Whether such a file loads (what data there is, at a bounded size) or is refused, it must
    // not claim gigabytes on the way, and the surfaces show a picture either way.
    QVERIFY(!m_form->Picture1[1]->image().isNull());
    if (underSanitizer())
        QSKIP("the sanitizer's shadow memory makes resident sizes meaningless");
    if (before < 0)
        QSKIP("the peak resident size cannot be reset here (/proc/self/clear_refs)");
    const long grown = statusMegabytes("VmHWM") - before;
    QVERIFY2(grown < 300, qPrintable(QStringLiteral("peak grew by %1 MB").arg(grown)));
}

void TestBadPictures::fileReplacedBetweenListingAndClick() {
    const QString path = m_dir.filePath("scambiata.bmp");
    QImage first(10, 10, QImage::Format_RGB32);
    first.fill(qRgb(0, 255, 0));
    QVERIFY(first.save(path, "BMP"));
    m_form->File1->setPath(m_dir.path());
    QFile::remove(path);
    QFile replacement(path);
    QVERIFY(replacement.open(QIODevice::WriteOnly));
    replacement.write(encodeGif({4, 4}, {qRgb(0, 0, 200)}, {uniformFrame({4, 4}, 0)}));
    replacement.close();
    m_form->File1->setCurrentItem(
        m_form->File1->findItems(QStringLiteral("scambiata.bmp"), Qt::MatchExactly).first());
    QCOMPARE(m_form->Picture1[0]->Point(1, 1), RGB(0, 0, 200));
}

void TestBadPictures::unreadableFolder() {
    if (geteuid() == 0)
        QSKIP("permission bits do not stop root");
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::WriteOwner));
    m_form->File1->setPath(dir.path());
    QCOMPARE(m_form->File1->count(), 0);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QTEST_MAIN(TestBadPictures)
#include "tst_badpictures.moc"
