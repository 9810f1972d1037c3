// The pattern document's pure parts: how the chart is split into pages, what each page holds,
// and the key's counts, thread and skeins.
#include "document/key.h"
#include "document/layout.h"
#include "document/stitchgrid.h"
#include "threads/threadtable.h"

#include <QRectF>
#include <QTest>

using namespace trameda;
using namespace trameda::document;

namespace {

// "first+count" for each page, with "r2" when it repeats two cells of the page before.
QString describe(const std::vector<Span>& spans) {
    QStringList parts;
    for (const Span& s : spans)
        parts += QStringLiteral("%1+%2").arg(s.first).arg(s.count) +
                 (s.repeated ? QStringLiteral("r%1").arg(s.repeated) : QString());
    return parts.join(u' ');
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitAxis_data();
    void splitAxis();
    void pages_data();
    void pages();
    void pageEdges_data();
    void pageEdges();
    void key_data();
    void key();
    void csv();
};

void TestDocument::splitAxis_data() {
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QString>("spans");
    QTest::newRow("nothing") << 0 << 57 << QString();
    QTest::newRow("one page, filled") << 57 << 57 << QStringLiteral("0+57");
    // Pages begin at the bold lines: each adds 50, and repeats two.
    QTest::newRow("at multiples of 10")
        << 200 << 57 << QStringLiteral("0+50 48+52r2 98+52r2 148+52r2");
    // 0..50 and 48..100 leave two cells for a third page; two even pages hold them all.
    QTest::newRow("even, when 10s cost a page") << 102 << 55 << QStringLiteral("0+52 50+52r2");
    QTest::newRow("even, three pages") << 200 << 69 << QStringLiteral("0+68 66+68r2 132+68r2");
    QTest::newRow("pages narrower than 10") << 20 << 11 << QStringLiteral("0+11 9+11r2");
}

void TestDocument::splitAxis() {
    QFETCH(int, cells);
    QFETCH(int, capacity);
    QFETCH(QString, spans);
    QCOMPARE(describe(document::splitAxis(cells, capacity)), spans);
}

void TestDocument::pages_data() {
    // A4 leaves 186 x 259 mm for the chart, letter 191.9 x 241.4; each piece has 8 mm for its
    // numbers on every side, so 3.5 mm cells fit 48 x 69 on A4 and 50 x 64 on letter.
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<Paper>("paper");
    QTest::addColumn<double>("cell");
    QTest::addColumn<int>("across"); // pieces
    QTest::addColumn<int>("down");
    QTest::addColumn<QList<int>>("perPage"); // pieces on each chart page
    QTest::addColumn<QString>("lastPiece");  // its columns and rows
    QTest::addColumn<bool>("turned");
    QTest::newRow("one page") << 48 << 69 << Paper::A4 << 3.5 << 1 << 1 << QList<int>{1}
                              << QStringLiteral("0+48 0+69") << false;
    // Across: pages from the tens, 40 each; down, tens would cost a fourth page: three even.
    QTest::newRow("200 x 200, A4") << 200 << 200 << Paper::A4 << 3.5 << 5 << 3 << QList<int>(15, 1)
                                   << QStringLiteral("158+42r2 132+68r2") << false;
    QTest::newRow("200 x 200, letter, 2.5 mm")
        << 200 << 200 << Paper::Letter << 2.5 << 3 << 3 << QList<int>(9, 1)
        << QStringLiteral("132+68r2 168+32r2") << false;
    // Five strips 51 mm high, gutters included, one under the other on one page.
    QTest::newRow("200 x 10, stacked") << 200 << 10 << Paper::A4 << 3.5 << 5 << 1 << QList<int>{5}
                                       << QStringLiteral("158+42r2 0+10") << false;
    // Three columns 19.5 mm wide side by side.
    QTest::newRow("1 x 200, side by side")
        << 1 << 200 << Paper::A4 << 3.5 << 1 << 3 << QList<int>{3} << QStringLiteral("0+1 132+68r2")
        << false;
    // At 8 mm, 30 down: eight even pieces of 26 or 27, seven 24 mm wide to a page.
    QTest::newRow("1 x 200, 8 mm") << 1 << 200 << Paper::A4 << 8.0 << 1 << 8 << QList<int>{7, 1}
                                   << QStringLiteral("0+1 174+26r2") << false;
    // Turned A4 holds 257 mm of cells across, 156 down: at about 3.5 mm, upright pages need four
    // strips of 50 (3.2 mm), turned ones three of 68 (3.7 mm, 40 rows in 164 mm).
    QTest::newRow("200 x 40, turned")
        << 200 << 40 << Paper::A4 << 0.0 << 3 << 1 << QList<int>{1, 1, 1}
        << QStringLiteral("132+68r2 0+40") << true;
}

void TestDocument::pages() {
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(Paper, paper);
    QFETCH(double, cell);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QList<int>, perPage);
    QFETCH(QString, lastPiece);
    QFETCH(bool, turned);
    const DocumentPlan plan = planDocument(columns, rows, paper, cell, 6);
    const ChartPlan& chart = plan.chart;
    QCOMPARE(chart.landscape, turned);
    cell = chart.cell;
    QCOMPARE(chart.tilesAcross, across);
    QCOMPARE(chart.tilesDown, down);
    QList<int> pieces;
    for (const ChartPage& page : chart.pages)
        pieces += int(page.tiles.size());
    QCOMPARE(pieces, perPage);
    // The cover is page 1, the chart pages follow, the key comes last.
    QCOMPARE(plan.pageCount, 2 + int(perPage.size()));
    QCOMPARE(plan.keyPage, plan.pageCount);
    const Tile& last = chart.tiles.back();
    QCOMPARE(last.page, plan.pageCount - 1);
    QCOMPARE(describe({last.columns}) + u' ' + describe({last.rows}), lastPiece);
    // Every piece, gutters included, lies within the room and clear of the others on its page.
    const ChartArea area = chartArea(paper, turned);
    for (const Tile& a : chart.tiles) {
        const QRectF room(a.x - kGutter, a.y - kGutter, a.columns.count * cell + 2 * kGutter,
                          a.rows.count * cell + 2 * kGutter);
        QVERIFY(QRectF(0, 0, area.width, area.height)
                    .adjusted(-1e-6, -1e-6, 1e-6, 1e-6)
                    .contains(room));
        for (const Tile& b : chart.tiles)
            if (&a != &b && a.page == b.page)
                QVERIFY(!room.adjusted(1e-6, 1e-6, -1e-6, -1e-6)
                             .intersects(
                                 QRectF(b.x, b.y, b.columns.count * cell, b.rows.count * cell)));
    }
}

void TestDocument::pageEdges_data() {
    QTest::addColumn<Span>("span");
    QTest::addColumn<int>("cells");
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<double>("centre"); // -1: not on the page
    QTest::newRow("first page") << Span{0, 50, 0} << 200 << QStringLiteral("10 20 30 40 50")
                                << -1.0;
    // Stitches 49..100: the numbers from 50, the centre on its right edge.
    QTest::newRow("second page") << Span{48, 52, 2} << 200 << QStringLiteral("50 60 70 80 90 100")
                                 << 52.0;
    QTest::newRow("odd count: centre in a cell")
        << Span{0, 51, 0} << 51 << QStringLiteral("10 20 30 40 50") << 25.5;
    QTest::newRow("a page from a 10")
        << Span{138, 62, 2} << 200 << QStringLiteral("140 150 160 170 180 190 200") << -1.0;
}

void TestDocument::pageEdges() {
    QFETCH(Span, span);
    QFETCH(int, cells);
    QFETCH(QString, numbers);
    QFETCH(double, centre);
    QStringList written;
    for (const int n : numberedLines(span))
        written += QString::number(n);
    QCOMPARE(written.join(u' '), numbers);
    QCOMPARE(centreOn(span, cells).value_or(-1.0), centre);
}

void TestDocument::key_data() {
    // A 50 x 22 chart: entry A on rows 0-9 (500 cells), C on rows 10-19 (500), B on rows 20-21
    // (100); D has none. A and C are matched to the same thread.
    QTest::addColumn<int>("fabric");
    QTest::addColumn<int>("strands");
    QTest::addColumn<int>("margin");
    QTest::addColumn<QList<int>>("skeins"); // per entry
    QTest::addColumn<int>("total");
    QTest::addColumn<double>("metres");
    // 13.14 mm a cross: 500 take 6.6 m, one skein each (24 m at two strands) but one for both
    // together; B's 100 take 1.3 m.
    QTest::newRow("14, two strands") << 14 << 2 << 0 << QList<int>{1, 1, 1, 0} << 2 << 14.5;
    // 6 to the inch, six strands: 30.66 mm a cross, 15.3 m for 500, 2 skeins each (8 m a skein
    // at six strands), 30.6 m together: 4; B's 3.1 m: 1.
    QTest::newRow("6, six strands") << 6 << 6 << 0 << QList<int>{2, 1, 2, 0} << 5 << 33.7;
    // Twice the thread for skeins: 30.6 m each, 4; 61.2 m together, 8; B's 6.2 m, 1.
    QTest::newRow("6, six strands, margin 100")
        << 6 << 6 << 100 << QList<int>{4, 1, 4, 0} << 9 << 33.7;
}

void TestDocument::key() {
    QFETCH(int, fabric);
    QFETCH(int, strands);
    QFETCH(int, margin);
    QFETCH(QList<int>, skeins);
    QFETCH(int, total);
    QFETCH(double, metres);

    StitchGrid grid(50, 22);
    for (int r = 0; r < 22; ++r)
        for (int c = 0; c < 50; ++c)
            grid.set(c, r, r < 10 ? 0 : r < 20 ? 2 : 1);
    const std::vector<Colour> colours{RGB(200, 0, 0), RGB(0, 0, 200), RGB(190, 0, 0),
                                      RGB(0, 200, 0)};
    const std::vector<threads::ThreadMatch> matches{{7, 1.5}, {3, 6.0}, {7, 2.5}, {9, 0.0}};
    const Key key = makeKey(colours, matches, grid, {fabric, 1, strands, margin});

    QCOMPARE(key.lines.size(), std::size_t(4));
    const QList<long long> stitches{500, 100, 500, 0};
    const QList<int> sameThreadAs{-1, -1, 0, -1};
    for (std::size_t i = 0; i < 4; ++i) {
        const KeyLine& line = key.lines[i];
        QCOMPARE(line.stitches, stitches[qsizetype(i)]);
        QCOMPARE(line.need.skeins, skeins[qsizetype(i)]);
        QCOMPARE(line.sameThreadAs, sameThreadAs[qsizetype(i)]);
        QCOMPARE(line.colour, colours[i]);
    }
    QVERIFY(key.lines[1].approximate());
    QVERIFY(!key.lines[0].approximate());
    QCOMPARE(key.stitches, 1100LL);
    QCOMPARE(key.skeins, total);
    QVERIFY2(std::abs(key.metres - metres) < 1e-3, qPrintable(QString::number(key.metres)));
    QCOMPARE(key.coloursUsed, 3);
    QCOMPARE(key.threadsUsed, 2);
}

void TestDocument::csv() {
    const threads::ThreadTable table =
        threads::ThreadTable::fromCsv("number,name,red,green,blue\n321,Red,199,43,59\n"
                                      "3865,Winter \"Bianco\",249,247,241\n");
    StitchGrid grid(3, 1);
    grid.set(0, 0, 0);
    grid.set(1, 0, 1);
    grid.set(2, 0, 1);
    const std::vector<Colour> colours{RGB(199, 43, 59), RGB(255, 255, 255)};
    const Key key =
        makeKey(colours, table.nearest(std::vector<QRgb>{qRgb(199, 43, 59), qRgb(255, 255, 255)}),
                grid, {});
    // A name holding quotes is quoted, its quotes doubled.
    QCOMPARE(keyCsv(key, table),
             QByteArray("lettera,colore,DMC,nome,differenza,punti,matasse\r\n"
                        "A,#C72B3B,321,Red,0.0,1,1\r\n"
                        "B,#FFFFFF,3865,\"Winter \"\"Bianco\"\"\",3.4,2,1\r\n"));
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
