// The stitching engine on plain data: size arithmetic, area averages, the choice of threads,
// clean-up and background on small hand-made grids, and whole patterns.
#include "stitching/background.h"
#include "stitching/choose.h"
#include "stitching/clean.h"
#include "stitching/match.h"
#include "stitching/pattern.h"

#include <QTest>

using namespace trameda;
using namespace trameda::stitching;

namespace {

// A grid drawn as rows of letters: 'a' is entry 0, 'b' entry 1 ..., '.' unstitched.
StitchGrid grid(const QString& rows) {
    const QStringList lines = rows.split(u'/');
    StitchGrid g(int(lines.first().size()), int(lines.size()));
    for (int y = 0; y < g.rows(); ++y)
        for (int x = 0; x < g.columns(); ++x) {
            const QChar c = lines[y][x];
            g.set(x, y, c == u'.' ? -1 : c.unicode() - u'a');
        }
    return g;
}

QString text(const StitchGrid& g) {
    QStringList lines;
    for (int y = 0; y < g.rows(); ++y) {
        QString line;
        for (int x = 0; x < g.columns(); ++x)
            line += g.at(x, y) < 0 ? QChar(u'.') : QChar(u'a' + g.at(x, y));
        lines << line;
    }
    return lines.join(u'/');
}

// Entries a .. e: white, near-white grey, red, dark red, blue.
std::vector<threads::Lab> labs() {
    const QRgb colours[] = {0xFFFFFFFF, 0xFFF0F0F0, 0xFFD02020, 0xFF801010, 0xFF2040C0};
    return threads::toLab(colours);
}

} // namespace

class TestStitching : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void size_data();
    void size();
    void average_data();
    void average();
    void choiceIsStable();
    void pruningIsExact_data();
    void pruningIsExact();
    void clean_data();
    void clean();
    void background_data();
    void background();
    void noEntryLost_data();
    void noEntryLost();
};

void TestStitching::size_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QString>("expected"); // "W x H", and the crop in thousandths, or the failure
    QTest::newRow("chart's cells") << QSize(640, 480) << 0 << 0 << "51 x 41 0 0 1000 1000";
    QTest::newRow("across alone, rounded") << QSize(640, 480) << 150 << 0 << "150 x 113 0 0 1000 1000";
    QTest::newRow("across alone, round sun") << QSize(700, 700) << 35 << 0 << "35 x 35 0 0 1000 1000";
    QTest::newRow("tall photo") << QSize(3000, 4000) << 120 << 0 << "120 x 160 0 0 1000 1000";
    QTest::newRow("never 0 down") << QSize(4000, 10) << 100 << 0 << "100 x 1 0 0 1000 1000";
    QTest::newRow("wide crop") << QSize(800, 400) << 100 << 100 << "100 x 100 250 0 500 1000";
    QTest::newRow("tall crop") << QSize(400, 800) << 50 << 25 << "50 x 25 0 375 1000 250";
    QTest::newRow("same shape, no crop") << QSize(300, 200) << 150 << 100 << "150 x 100 0 0 1000 1000";
    QTest::newRow("too tall") << QSize(100, 1100) << 50 << 0 << "con 50 punti in larghezza l'immagine ne vuole 550 in altezza, più di 500";
}

void TestStitching::size() {
    QFETCH(QSize, picture);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QString, expected);
    const SizeChoice choice = patternSize(picture, across, down, QSize(51, 41));
    if (!choice.size) {
        QCOMPARE(choice.failure, expected);
        return;
    }
    const QRectF c = choice.size->crop;
    QCOMPARE(QStringLiteral("%1 x %2 %3 %4 %5 %6")
                 .arg(choice.size->across)
                 .arg(choice.size->down)
                 .arg(qRound(c.x() * 1000))
                 .arg(qRound(c.y() * 1000))
                 .arg(qRound(c.width() * 1000))
                 .arg(qRound(c.height() * 1000)),
             expected);
}

void TestStitching::average_data() {
    // A picture of vertical stripes, each `stripe` pixels wide, alternately the two colours.
    QTest::addColumn<int>("stripe");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QRgb>("first");
    QTest::addColumn<QRgb>("last");
    // Black and white half and half are 50 % light: #BCBCBC, not the #808080 of averaged codes.
    QTest::newRow("half light") << 1 << QSize(100, 10) << 10 << 1 << QRgb(0xFFBCBCBC) << QRgb(0xFFBCBCBC);
    // A stitch covering one and a half stripes weighs the half stripe by its share.
    QTest::newRow("fractional") << 1 << QSize(6, 1) << 4 << 0 << QRgb(0xFF9C9C9C) << QRgb(0xFFD5D5D5);
    // Fewer pixels than stitches: each stitch takes the pixel under it.
    QTest::newRow("enlarged") << 1 << QSize(2, 1) << 4 << 2 << QRgb(0xFF000000) << QRgb(0xFFFFFFFF);
    // A square out of a wide picture: the outer stripes are cut.
    QTest::newRow("cropped") << 10 << QSize(40, 20) << 1 << 1 << QRgb(0xFFBCBCBC) << QRgb(0xFFBCBCBC);
}

void TestStitching::average() {
    QFETCH(int, stripe);
    QFETCH(QSize, picture);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QRgb, first);
    QFETCH(QRgb, last);
    QImage image(picture, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            image.setPixel(x, y, (x / stripe) % 2 ? 0xFFFFFFFF : 0xFF000000);
    const SizeChoice size = patternSize(picture, across, down, {});
    const std::vector<QRgb> cells = averageCells(image, *size.size);
    QCOMPARE(cells.size(), std::size_t(size.size->across * size.size->down));
    QCOMPARE(QString::number(cells.front(), 16), QString::number(first, 16));
    QCOMPARE(QString::number(cells.back(), 16), QString::number(last, 16));
}

void TestStitching::choiceIsStable() {
    // A picture of soft gradients: the same colours give the same threads every time, all
    // different, as many as asked.
    QImage image(240, 160, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, (x + y) / 2 % 256, 255 - y));
    PatternSize size;
    size.across = 120;
    size.down = 80;
    const DistinctColours cells = distinctColours(averageCells(image, size));
    const auto& dmc = threads::ThreadTable::dmc();
    const std::vector<int> first = chooseThreads(cells.labs, cells.weights, dmc, 24);
    QCOMPARE(first.size(), std::size_t(24));
    std::vector<int> sorted = first;
    std::sort(sorted.begin(), sorted.end());
    QVERIFY(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    for (int run = 0; run < 3; ++run)
        QCOMPARE(chooseThreads(cells.labs, cells.weights, dmc, 24), first);

    // Three flat colours, three threads: each the colour's nearest.
    const QRgb flats[] = {0xFF000000, 0xFFFFFFFF, 0xFFC00000};
    const std::vector<threads::Lab> flatLabs = threads::toLab(flats);
    const long long weights[] = {10, 20, 30};
    std::vector<int> three = chooseThreads(flatLabs, weights, dmc, 3);
    std::vector<int> nearest;
    for (const auto& m : dmc.nearest(flats))
        nearest.push_back(m.index);
    std::sort(three.begin(), three.end());
    std::sort(nearest.begin(), nearest.end());
    QCOMPARE(three, nearest);
}

void TestStitching::pruningIsExact_data() {
    QTest::addColumn<Brand>("brand");
    QTest::newRow("DMC") << Brand::Dmc;
    QTest::newRow("Anchor") << Brand::Anchor;
    QTest::newRow("Madeira") << Brand::Madeira;
}

void TestStitching::pruningIsExact() {
    // Passing over the candidates that the lower bound rules out finds the thread a full search
    // by CIEDE2000 finds, over a lattice of the sRGB cube.
    QFETCH(Brand, brand);
    const threads::ThreadTable& table = threads::ThreadTable::forBrand(brand);
    std::vector<threads::Lab> threadLabs;
    for (const auto& t : table.threads())
        threadLabs.push_back(t.lab);
    std::vector<QRgb> colours;
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 15)
            for (int b = 0; b < 256; b += 15)
                colours.push_back(qRgb(r, g, b));
    const std::vector<int> found = nearestCandidates(threads::toLab(colours), threadLabs);
    const std::vector<threads::ThreadMatch> full = table.nearest(colours);
    int differ = 0;
    for (std::size_t i = 0; i < colours.size(); ++i)
        differ += found[i] != full[i].index;
    QCOMPARE(differ, 0);
}

void TestStitching::clean_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("isolatedBefore");
    QTest::addColumn<int>("isolatedAfter");
    QTest::newRow("level 0 leaves it") << 0 << "aaa/aca/aaa" << "aaa/aca/aaa" << 1 << 1;
    QTest::newRow("lone stitch") << 1 << "aaa/aca/aaa" << "aaa/aaa/aaa" << 1 << 0;
    QTest::newRow("a corner neighbour keeps it") << 1 << "caa/aca/aaa" << "caa/aca/aaa" << 0 << 0;
    // The corner red, alone among white, dark red and blue, first takes the nearest, dark red,
    // is then alone again and takes red from the next pass.
    QTest::newRow("majority, twice") << 1 << "aac/ade/ccc" << "aac/acc/ccc" << 3 << 0;
    // Four white, four dark red around a red: the tie goes to the nearer, dark red.
    QTest::newRow("tie, nearest") << 1 << "aad/acd/add" << "aad/add/add" << 1 << 0;
    QTest::newRow("into the fabric") << 1 << ".../.c./..." << ".../.../..." << 1 << 0;
    QTest::newRow("fabric and thread tie") << 1 << "..a/.ca/.aa" << "..a/.aa/.aa" << 1 << 0;
    QTest::newRow("a pair stays at level 1") << 1 << "aaaa/acca/aaaa" << "aaaa/acca/aaaa" << 0 << 0;
    QTest::newRow("a pair folds at level 2") << 2 << "aaaa/acca/aaaa" << "aaaa/aaaa/aaaa" << 0 << 0;
    // A rare thread (under 0.2 %) in a block of three merges into its nearest.
    QTest::newRow("rare thread merges") << 2 << "" << "" << 0 << 0;
}

void TestStitching::clean() {
    QFETCH(int, level);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, isolatedBefore);
    QFETCH(int, isolatedAfter);
    if (before.isEmpty()) {
        // 40 x 50 of white with a block of three red (rare: 3 in 2000) beside a block of 120
        // dark red; level 2 makes the red dark red, and the pair of grey white.
        StitchGrid g(40, 50);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 40; ++x)
                g.set(x, y, y < 3 ? 3 : 0);
        g.set(5, 3, 2);
        g.set(6, 3, 2);
        g.set(7, 3, 2);
        g.set(10, 20, 1);
        g.set(11, 20, 1);
        cleanUp(g, labs(), level);
        QCOMPARE(g.count(2), 0LL);
        QCOMPARE(g.count(3), 123LL);
        QCOMPARE(g.count(1), 0LL);
        return;
    }
    StitchGrid g = grid(before);
    QCOMPARE(countIsolated(g), (long long)isolatedBefore);
    cleanUp(g, labs(), level);
    if (after.isEmpty())
        QCOMPARE(g.count(2), 0LL);
    else
        QCOMPARE(text(g), after);
    QCOMPARE(countIsolated(g), (long long)isolatedAfter);
}

void TestStitching::background_data() {
    QTest::addColumn<QString>("rows");
    QTest::addColumn<Background>("background");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("entry");
    QTest::newRow("none") << "aaa/aca/aaa" << Background::None << QRgb(0) << -1;
    QTest::newRow("auto, the border's") << "aaa/ccc/ccc" << Background::Auto << QRgb(0) << 2;
    QTest::newRow("auto, half is enough") << "aaaa/c..c/cccc" << Background::Auto << QRgb(0) << 2;
    QTest::newRow("auto, no majority") << "aab/c.b/ccb" << Background::Auto << QRgb(0) << -1;
    QTest::newRow("colour, nearest in use") << "aca/cec/aca" << Background::Colour << QRgb(0xFFE8E8E8) << 0;
    QTest::newRow("colour, unused entry passed over") << "ccc/cec/ccc" << Background::Colour << QRgb(0xFFFFFFFF) << 2;
}

void TestStitching::background() {
    QFETCH(QString, rows);
    QFETCH(Background, background);
    QFETCH(QRgb, colour);
    QFETCH(int, entry);
    QCOMPARE(backgroundEntry(grid(rows), labs(), background, threads::toLab(colour)), entry);
}

void TestStitching::noEntryLost_data() {
    // A picture of flat areas in the swatches' colours; with --threads each swatch becomes its
    // thread and every area keeps its stitches.
    QTest::addColumn<bool>("snap");
    QTest::addColumn<int>("clean");
    QTest::newRow("swatches") << false << 1;
    QTest::newRow("snapped") << true << 1;
    QTest::newRow("snapped, clean 2") << true << 2;
}

void TestStitching::noEntryLost() {
    QFETCH(bool, snap);
    QFETCH(int, clean);
    // Two greens on one thread, a dark hill, sky and a sun.
    const QRgb swatches[] = {0xFF008000, 0xFF007A00, 0xFF203010, 0xFF80B0F0, 0xFFFFD000};
    QImage image(200, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            image.setPixel(x, y, swatches[y < 40 ? (x < 150 ? 3 : 4) : y < 70 ? (x < 100 ? 0 : 1) : 2]);
    StitchOptions options;
    options.across = 100;
    options.snap = snap;
    options.clean = clean;
    const PatternResult made = makePattern(image, swatches, options, {});
    QVERIFY(made.pattern);
    const StitchedPattern& p = *made.pattern;
    QCOMPARE(p.grid.columns(), 100);
    QCOMPARE(p.grid.rows(), 50);
    // Swatches on one thread are one entry, and no entry is left without stitches.
    std::vector<int> threadsOf;
    for (const auto& m : threads::ThreadTable::dmc().nearest(swatches))
        if (std::find(threadsOf.begin(), threadsOf.end(), m.index) == threadsOf.end())
            threadsOf.push_back(m.index);
    QCOMPARE(p.entries.size(), snap ? threadsOf.size() : std::size(swatches));
    if (snap)
        QCOMPARE(threadsOf.size(), std::size_t(4));
    long long total = 0;
    for (std::size_t e = 0; e < p.entries.size(); ++e) {
        QVERIFY(p.entries[e].stitches > 0);
        QCOMPARE(p.grid.count(int(e)), p.entries[e].stitches);
        total += p.entries[e].stitches;
    }
    QCOMPARE(total, 5000LL);
}

QTEST_GUILESS_MAIN(TestStitching)
#include "tst_stitching.moc"
