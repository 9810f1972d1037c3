// The pattern dialog's logic, offscreen: the options it starts from and hands on, which changes
// run the engine again, a newer request superseding an older one, the files it saves.
#include "app/patterndialog.h"
#include "batch/options.h"
#include "batch/run.h"
#include "support/fakedialogs.h"
#include "support/pdf.h"
#include "runtime/colour.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using namespace trameda;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets the dialog's controls as a user would: "name=value" each, by the control's name.
void change(QDialog& dialog, const QStringList& changes) {
    for (const QString& c : changes) {
        const QString name = c.section(u'=', 0, 0);
        const QString value = c.section(u'=', 1);
        QObject* control = dialog.findChild<QObject*>(name);
        QVERIFY2(control, qPrintable(name));
        if (auto* spin = qobject_cast<QSpinBox*>(control))
            spin->setValue(value.toInt());
        else if (auto* real = qobject_cast<QDoubleSpinBox*>(control))
            real->setValue(value.toDouble());
        else if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->setCurrentIndex(value.toInt());
        else if (auto* check = qobject_cast<QCheckBox*>(control))
            check->setChecked(value == u"true");
        else if (auto* line = qobject_cast<QLineEdit*>(control))
            line->setText(value);
    }
}

} // namespace

class TestPatternDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_picture;
    FakeDialogs m_dialogs;
    QWidget m_window;

    PatternStart start() const {
        PatternStart s;
        s.picture = m_picture;
        for (int i = 0; i < 8; ++i)
            s.swatches.push_back(toQRgb(QBColor(i)));
        s.across = 45;
        s.down = 50;
        return s;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // The command line for the same picture and swatches (the first 8), all three files asked.
    batch::Parsed commandLine(const QStringList& arguments, const QString& prefix) const {
        return batch::parse(QStringList{QStringLiteral("trameda"), QStringLiteral("--chart"),
                                        m_picture, QStringLiteral("--pattern"),
                                        path(prefix + QStringLiteral(".pdf")),
                                        QStringLiteral("--key-csv"),
                                        path(prefix + QStringLiteral(".csv")),
                                        QStringLiteral("--oxs"),
                                        path(prefix + QStringLiteral(".oxs"))} +
                            arguments);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // A photo-like picture: gradients in every direction and a disc, many colours.
        QImage image(320, 240, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool disc = (x - 200) * (x - 200) + (y - 100) * (y - 100) < 60 * 60;
                image.setPixel(x, y, disc ? qRgb(200, 30, 40) : qRgb(x * 255 / 320, y, 128));
            }
        m_picture = path(QStringLiteral("foto.bmp"));
        QVERIFY(image.save(m_picture, "BMP"));
    }

    // What the dialog hands on equals what the command line's parser gives for the same choices,
    // and only the options that change the stitches run the engine again.
    void options_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("reruns");
        const auto s = [](const char* text) { return QString::fromUtf8(text).split(u' '); };
        QTest::newRow("as the window has it") << QStringList() << s("--stitches 45") << false;
        QTest::newRow("threads chosen, clean-up 2")
            << s("colours=1 threadColours=40 clean=2")
            << s("--stitches 45 --thread-colors 40 --clean 2") << true;
        QTest::newRow("swatches snapped to Anchor")
            << s("snap=true brand=1") << s("--stitches 45 --threads anchor") << true;
        QTest::newRow("exact size, background from the edge")
            << s("linked=false across=120 down=90 background=1")
            << s("--stitches 120x90 --background auto") << true;
        QTest::newRow("background a swatch")
            << s("background=5") << s("--stitches 45 --background 008080") << true;
        QTest::newRow("the document alone")
            << s("also=3 fabric=28 over=1 strands=3 margin=10 paper=1 cell=4.5 symbols=1 print=1 "
                 "title=Rose")
            << s("--stitches 45 --also madeira --fabric 28 --over 2 --strands 3 --margin 10 "
                 "--paper letter --cell 4,5 --symbols letters --bw --title Rose")
            << false;
    }
    void options() {
        QFETCH(QStringList, changes);
        QFETCH(QStringList, arguments);
        QFETCH(bool, reruns);
        PatternDialog dialog(&m_window, m_dialogs, start());
        QTRY_VERIFY_WITH_TIMEOUT(dialog.outputs(), 20000);
        const int runs = dialog.runner().runs();
        change(dialog, changes);
        QCOMPARE(dialog.runner().runs() > runs, reruns);

        const batch::Parsed parsed = commandLine(arguments, QStringLiteral("x"));
        QCOMPARE(parsed.action, batch::Parsed::Action::Chart);
        document::PatternOptions want = parsed.request.options;
        if (want.title.isEmpty())
            want.title = QStringLiteral("foto.bmp"); // the dialog shows the picture's name
        QVERIFY(dialog.options() == want);
    }

    // The files the dialog saves are those the command line writes for the same choices: the
    // OXS file and the shopping list byte for byte, the PDF page for page.
    void sameFiles_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QStringList>("arguments");
        const auto s = [](const char* text) { return QString::fromUtf8(text).split(u' '); };
        QTest::newRow("swatches") << QStringList() << s("--stitches 45");
        QTest::newRow("40 threads, clean-up 2, Anchor beside")
            << s("colours=1 threadColours=40 clean=2 also=2 strands=3 fabric=16")
            << s("--stitches 45 --thread-colors 40 --clean 2 --also anchor --strands 3 "
                 "--fabric 16");
        QTest::newRow("Madeira, exact size, background, letters")
            << s("snap=true brand=2 linked=false across=60 down=30 background=1 symbols=1")
            << s("--stitches 60x30 --threads madeira --background auto --symbols letters");
    }
    void sameFiles() {
        QFETCH(QStringList, changes);
        QFETCH(QStringList, arguments);
        PatternDialog dialog(&m_window, m_dialogs, start());
        change(dialog, changes);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.outputs(), 20000);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).left(5);
        for (const QString& ending : {QStringLiteral(".pdf"), QStringLiteral(".csv"),
                                      QStringLiteral(".oxs")})
            m_dialogs.saveFiles.push_back(path(QStringLiteral("d-") + tag + ending));
        QVERIFY(dialog.savePdf());
        QVERIFY(dialog.saveCsv());
        QVERIFY(dialog.saveOxs());

        const batch::Parsed parsed = commandLine(arguments, QStringLiteral("c-") + tag);
        QString text;
        QTextStream out(&text);
        QCOMPARE(batch::run(parsed.request, out, out), 0);
        for (const char* ending : {".oxs", ".csv"}) {
            const QByteArray mine = contents(path(QStringLiteral("d-") + tag + QLatin1String(ending)));
            QVERIFY(!mine.isEmpty());
            QCOMPARE(mine, contents(path(QStringLiteral("c-") + tag + QLatin1String(ending))));
        }
        const int pages = pdfPages(path(QStringLiteral("d-") + tag + QStringLiteral(".pdf")));
        QVERIFY(pages >= 3);
        QCOMPARE(pages, pdfPages(path(QStringLiteral("c-") + tag + QStringLiteral(".pdf"))));
    }

    // Saving opens on the picture's folder and name, writes all or nothing, never onto the
    // picture, and says why not in one message naming the file.
    void saving_data() {
        QTest::addColumn<int>("kind"); // 0 PDF, 1 CSV, 2 OXS
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("error");
        QTest::newRow("pdf") << 0 << QStringLiteral("schema.pdf") << QString();
        QTest::newRow("cancelled") << 1 << QString() << QString();
        QTest::newRow("onto the picture")
            << 1 << QStringLiteral("foto.bmp")
            << QStringLiteral("Impossibile scrivere %1: è l'immagine dello schema.");
        QTest::newRow("a folder that is not there")
            << 2 << QStringLiteral("manca/schema.oxs")
            << QStringLiteral("Impossibile scrivere %1: cartella inesistente.");
    }
    void saving() {
        QFETCH(int, kind);
        QFETCH(QString, chosen);
        QFETCH(QString, error);
        const QString target = chosen.isEmpty() ? QString() : path(chosen);
        const QByteArray before = contents(m_picture);
        m_dialogs.errors.clear();
        m_dialogs.suggestedFiles.clear();
        if (!target.isEmpty())
            m_dialogs.saveFiles.push_back(target);
        PatternDialog dialog(&m_window, m_dialogs, start());
        QTRY_VERIFY_WITH_TIMEOUT(dialog.outputs(), 20000);
        const bool saved = kind == 0 ? dialog.savePdf() : kind == 1 ? dialog.saveCsv()
                                                                    : dialog.saveOxs();
        const char* endings[] = {".pdf", ".csv", ".oxs"};
        QCOMPARE(m_dialogs.suggestedFiles,
                 QStringList{path(QStringLiteral("foto") + QLatin1String(endings[kind]))});
        QCOMPARE(saved, !target.isEmpty() && error.isEmpty());
        QCOMPARE(m_dialogs.errors, error.isEmpty() ? QStringList() : QStringList{error.arg(target)});
        QCOMPARE(contents(m_picture), before);
        if (saved) {
            QVERIFY(contents(target).startsWith("%PDF"));
            QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("status"))->text().contains(target));
        } else if (!target.isEmpty() && target != m_picture)
            QVERIFY(!QFile::exists(target));
    }

    // Requests in a row deliver only the latest pattern, with at most one run working and one
    // waiting; a runner destroyed mid-run delivers nothing and leaves nothing running.
    void supersession_data() {
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("destroyed");
        QTest::newRow("one") << 1 << false;
        QTest::newRow("ten in a row") << 10 << false;
        QTest::newRow("destroyed mid-run") << 3 << true;
    }
    void supersession() {
        QFETCH(int, requests);
        QFETCH(bool, destroyed);
        auto runner = std::make_unique<PatternRunner>(start());
        QSignalSpy made(runner.get(), &PatternRunner::made);
        stitching::StitchOptions options = startingOptions(start()).stitch;
        for (int i = 0; i < requests; ++i) {
            options.across = 100 + i;
            options.threadColours = 20;
            runner->request(options);
        }
        QVERIFY(runner->runs() <= 1);
        if (destroyed) {
            runner.reset();
            QVERIFY(QThreadPool::globalInstance()->waitForDone(20000));
            QCoreApplication::processEvents();
            QCOMPARE(made.count(), 0);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!runner->busy(), 20000);
        QCOMPARE(runner->runs(), std::min(requests, 2));
        QCOMPARE(made.count(), 1);
        const auto pattern = made.first().first().value<std::shared_ptr<const MadePattern>>();
        QVERIFY(pattern && pattern->pattern);
        QCOMPARE(pattern->pattern->grid.columns(), 100 + requests - 1);
    }
};

QTEST_MAIN(TestPatternDialog)
#include "tst_patterndialog.moc"
