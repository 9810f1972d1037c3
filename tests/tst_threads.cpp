// Colour difference, thread matching and the thread arithmetic.
#include "threads/colourdifference.h"
#include "threads/skeins.h"
#include "threads/threadtable.h"

#include <QTest>
#include <stdexcept>

using namespace trameda::threads;

class TestThreads : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ciede2000Pairs_data();
    void ciede2000Pairs();
    void labIsD65_data();
    void labIsD65();
    void nearestThread_data();
    void nearestThread();
    void badTable_data();
    void badTable();
    void skeins_data();
    void skeins();
};

void TestThreads::ciede2000Pairs_data() {
    // Pairs from Sharma, Wu and Dalal (2005), "The CIEDE2000 color-difference formula:
    // implementation notes, supplementary test data, and mathematical observations", table 1,
    // chosen for the cases that trip implementations: hue across 0 degrees, neutral colours,
    // large differences and very dark colours.
    QTest::addColumn<Lab>("first");
    QTest::addColumn<Lab>("second");
    QTest::addColumn<double>("difference");
    QTest::newRow("1") << Lab{50, 2.6772, -79.7751} << Lab{50, 0, -82.7485} << 2.0425;
    QTest::newRow("4") << Lab{50, -1.3802, -84.2814} << Lab{50, 0, -82.7485} << 1.0000;
    QTest::newRow("7 neutral") << Lab{50, 0, 0} << Lab{50, -1, 2} << 2.3669;
    QTest::newRow("8 reversed") << Lab{50, -1, 2} << Lab{50, 0, 0} << 2.3669;
    QTest::newRow("13 hue across 0") << Lab{50, 2.49, -0.001} << Lab{50, -2.49, 0.0009} << 7.1792;
    QTest::newRow("17 large") << Lab{50, 2.5, 0} << Lab{73, 25, -18} << 27.1492;
    QTest::newRow("19 large") << Lab{50, 2.5, 0} << Lab{56, -27, -3} << 31.9030;
    QTest::newRow("25") << Lab{60.2574, -34.0099, 36.2677} << Lab{60.4626, -34.1751, 39.4387}
                        << 1.2644;
    QTest::newRow("31") << Lab{22.7233, 20.0904, -46.6940} << Lab{23.0331, 14.9730, -42.5619}
                        << 2.0373;
    QTest::newRow("34 dark") << Lab{2.0776, 0.0795, -1.1350} << Lab{0.9033, -0.0636, -0.5514}
                             << 0.9082;
}

void TestThreads::ciede2000Pairs() {
    QFETCH(Lab, first);
    QFETCH(Lab, second);
    QFETCH(double, difference);
    QVERIFY2(std::abs(ciede2000(first, second) - difference) < 1e-4,
             qPrintable(QString::number(ciede2000(first, second), 'f', 5)));
}

void TestThreads::labIsD65_data() {
    // sRGB's primaries in CIELAB against its own D65 white; against D50 red would be
    // (54.29, 80.81, 69.89).
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<Lab>("lab");
    QTest::newRow("white") << qRgb(255, 255, 255) << Lab{100, 0, 0};
    QTest::newRow("black") << qRgb(0, 0, 0) << Lab{0, 0, 0};
    QTest::newRow("grey") << qRgb(128, 128, 128) << Lab{53.585, 0, 0};
    QTest::newRow("red") << qRgb(255, 0, 0) << Lab{53.241, 80.092, 67.203};
    QTest::newRow("blue") << qRgb(0, 0, 255) << Lab{32.297, 79.188, -107.860};
}

void TestThreads::labIsD65() {
    QFETCH(QRgb, colour);
    QFETCH(Lab, lab);
    const Lab got = toLab(colour);
    const QString text = QStringLiteral("%1 %2 %3").arg(got.L).arg(got.a).arg(got.b);
    QVERIFY2(std::abs(got.L - lab.L) < 0.05, qPrintable(text));
    QVERIFY2(std::abs(got.a - lab.a) < 0.05, qPrintable(text));
    QVERIFY2(std::abs(got.b - lab.b) < 0.05, qPrintable(text));
}

void TestThreads::nearestThread_data() {
    QTest::addColumn<QByteArray>("table"); // empty: the DMC table built in
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QString>("thread");
    QTest::addColumn<double>("atMost");
    QTest::newRow("a thread's own colour")
        << QByteArray() << qRgb(199, 43, 59) << QStringLiteral("321") << 0.0;
    QTest::newRow("pure black") << QByteArray() << qRgb(0, 0, 0) << QStringLiteral("310") << 0.0;
    QTest::newRow("near a thread")
        << QByteArray() << qRgb(20, 70, 128) << QStringLiteral("797") << 2.0;
    // By RGB distance green (0, 128, 0) is nearer (0, 160, 0), 32 against 42.4, but the eye
    // sees the lighter green as further than the greyer one: CIEDE2000 11.2 against 2.3.
    QTest::newRow("judged as the eye does")
        << QByteArray("number,name,red,green,blue\nL,chiaro,0,160,0\nG,grigio,30,128,30\n")
        << qRgb(0, 128, 0) << QStringLiteral("G") << 2.4;
    QTest::newRow("a tie goes to the earlier row")
        << QByteArray("number,name,red,green,blue\nX,uno,10,20,30\nY,due,10,20,30\n")
        << qRgb(12, 20, 30) << QStringLiteral("X") << 100.0;
}

void TestThreads::nearestThread() {
    QFETCH(QByteArray, table);
    QFETCH(QRgb, colour);
    QFETCH(QString, thread);
    QFETCH(double, atMost);
    const ThreadTable own = table.isEmpty() ? ThreadTable() : ThreadTable::fromCsv(table);
    const ThreadTable& threads = table.isEmpty() ? ThreadTable::dmc() : own;
    const std::vector<ThreadMatch> matches = threads.nearest(std::span<const QRgb>(&colour, 1));
    QCOMPARE(matches.size(), std::size_t(1));
    QCOMPARE(threads.at(matches[0].index).number, thread);
    QVERIFY(matches[0].difference <= atMost + 1e-9);
    QCOMPARE(ThreadTable::dmc().threads().size(), std::size_t(489));
}

void TestThreads::badTable_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::newRow("a field missing") << QByteArray("n,n,r,g,b\n310,Black,0,0\n");
    QTest::newRow("a component past 255") << QByteArray("n,n,r,g,b\n310,Black,0,256,0\n");
    QTest::newRow("a word for a number") << QByteArray("n,n,r,g,b\n310,Black,0,zero,0\n");
    QTest::newRow("no number") << QByteArray("n,n,r,g,b\n,Black,0,0,0\n");
    QTest::newRow("no rows") << QByteArray("n,n,r,g,b\n");
}

void TestThreads::badTable() {
    QFETCH(QByteArray, csv);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, ThreadTable::fromCsv(csv));
}

void TestThreads::skeins_data() {
    QTest::addColumn<QList<int>>("cloth"); // fabric, over, strands, margin
    QTest::addColumn<long long>("stitches");
    QTest::addColumn<QString>("figures"); // side, cross, per stitch, metres, skeins
    // 25.4 / 14 = 1.8143 -> 1.814; 4.828 x 1.814 = 8.7580 -> 8.76; x 1.5 = 13.14.
    QTest::newRow("none") << QList<int>{14, 1, 2, 0} << 0LL
                          << QStringLiteral("1.814 8.76 13.14 0 0");
    // 0.013 m prints as 0.0, but a thread with a stitch is bought.
    QTest::newRow("one cross") << QList<int>{14, 1, 2, 0} << 1LL
                               << QStringLiteral("1.814 8.76 13.14 0 1");
    // 1826 x 13.14 mm = 23.99 m -> 24.0: exactly one skein of 24 m, not two; with 20 % two.
    QTest::newRow("a skein's worth")
        << QList<int>{14, 1, 2, 0} << 1826LL << QStringLiteral("1.814 8.76 13.14 24 1");
    QTest::newRow("a skein's worth and a margin")
        << QList<int>{14, 1, 2, 20} << 1826LL << QStringLiteral("1.814 8.76 13.14 24 2");
    // 6740 x 13.14 mm = 88.56 m -> 88.6; x 1.2 / 24 = 4.43 -> 5.
    QTest::newRow("Aida 14") << QList<int>{14, 1, 2, 20} << 6740LL
                             << QStringLiteral("1.814 8.76 13.14 88.6 5");
    // Linen 28 over two is Aida 14; 25 over two is 12.5 to the inch: 2.032 mm, 9.8105 -> 9.81,
    // and 14.715 rounds up, as by hand, to 14.72.
    QTest::newRow("linen 28 over two")
        << QList<int>{28, 2, 2, 20} << 6740LL << QStringLiteral("1.814 8.76 13.14 88.6 5");
    QTest::newRow("linen 25 over two, one strand")
        << QList<int>{25, 2, 1, 0} << 1000LL << QStringLiteral("2.032 9.81 14.72 14.7 1");
    // 6 to the inch, six strands: 8 m a skein.
    QTest::newRow("coarse, all six strands")
        << QList<int>{6, 1, 6, 0} << 1000LL << QStringLiteral("4.233 20.44 30.66 30.7 4");
}

// Each step of the sum is rounded as the key prints it: redone by hand from the printed figures,
// it gives the printed result.
void TestThreads::skeins() {
    QFETCH(QList<int>, cloth);
    QFETCH(long long, stitches);
    QFETCH(QString, figures);
    const Reckoning r = reckoning(cloth[0], cloth[1], cloth[2], cloth[3]);
    const ThreadNeed need = threadNeed(stitches, r);
    QCOMPARE(QStringList({QString::number(r.side), QString::number(r.cross),
                          QString::number(r.perStitch), QString::number(need.metres),
                          QString::number(need.skeins)})
                 .join(u' '),
             figures);
}

QTEST_GUILESS_MAIN(TestThreads)
#include "tst_threads.moc"
