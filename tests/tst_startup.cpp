// How the program starts from its arguments: the window, the window on a picture a file manager
// hands over, Qt's own options left to the window, or a command line.
#include "app/startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace trameda::startup;

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void decide_data();
    void decide();

private:
    QTemporaryDir m_dir; // the current folder
};

void TestStartup::initTestCase() {
    QVERIFY(QDir::setCurrent(m_dir.path()));
    for (const char* name : {"foto.jpg", "FOTO.JPG", "la mia foto è qui.gif", "note.txt"}) {
        QFile file(QString::fromUtf8(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QVERIFY(QDir::current().mkdir(QStringLiteral("cartella.bmp")));
}

void TestStartup::decide_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("window");
    QTest::addColumn<QString>("picture"); // in the current folder
    const bool window = true;
    const bool commandLine = false;
    QTest::newRow("nothing") << QStringList{} << window << "";
    QTest::newRow("Qt's options") << QStringList{"-style", "fusion",    "-reverse", "--platform",
                                                 "xcb",    "-geometry", "300x200",  "-style=fusion"}
                                  << window << "";
    QTest::newRow("a picture") << QStringList{"foto.jpg"} << window << "foto.jpg";
    QTest::newRow("a picture among Qt's options")
        << QStringList{"-reverse", "--style", "fusion", "foto.jpg", "-qwindowtitle", "x.jpg"}
        << window << "foto.jpg";
    QTest::newRow("a full path") << QStringList{QDir::current().filePath("foto.jpg")} << window
                                 << "foto.jpg";
    QTest::newRow("a path through another folder")
        << QStringList{"cartella.bmp/../foto.jpg"} << window << "cartella.bmp/../foto.jpg";
    QTest::newRow("capital letters") << QStringList{"FOTO.JPG"} << window << "FOTO.JPG";
    QTest::newRow("spaces and accents")
        << QStringList{"la mia foto è qui.gif"} << window << "la mia foto è qui.gif";
    QTest::newRow("not a picture's name") << QStringList{"note.txt"} << commandLine << "";
    QTest::newRow("no such file") << QStringList{"manca.jpg"} << commandLine << "";
    QTest::newRow("a folder") << QStringList{"cartella.bmp"} << commandLine << "";
    QTest::newRow("two pictures") << QStringList{"foto.jpg", "FOTO.JPG"} << commandLine << "";
    QTest::newRow("help") << QStringList{"--help"} << commandLine << "";
    QTest::newRow("help among Qt's options")
        << QStringList{"-style", "fusion", "--help"} << commandLine << "";
    QTest::newRow("a chart") << QStringList{"--chart", "foto.jpg", "--png", "a.png"} << commandLine
                             << "";
    QTest::newRow("Qt's option without its value")
        << QStringList{"foto.jpg", "-style"} << commandLine << "";
}

void TestStartup::decide() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, window);
    QFETCH(QString, picture);
    arguments.prepend(QStringLiteral("trameda"));
    const Start start = trameda::startup::decide(arguments);
    QCOMPARE(start.mode, window ? Start::Mode::Window : Start::Mode::CommandLine);
    QCOMPARE(start.picture, picture.isEmpty() ? QString() : QFileInfo(picture).absoluteFilePath());
    if (!picture.isEmpty())
        QVERIFY(QFileInfo(start.picture).isAbsolute());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
