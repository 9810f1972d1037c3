// The pattern document's pure parts: how the chart is split into pages, what each page holds,
// and the key's counts, thread and skeins.
#include "document/key.h"
#include "document/layout.h"
#include "stitching/stitchgrid.h"
#include "threads/threadtable.h"

#include <QTest>

using namespace trameda;
using namespace trameda::document;
using trameda::stitching::StitchGrid;

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
    // A4 leaves 173 x 248 mm for the chart, letter 178.9 x 230.4.
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<Paper>("paper");
    QTest::addColumn<double>("cell");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QString>("lastPage"); // its columns and rows
    // 50 cells fit 173 mm at 3.4 mm.
    QTest::newRow("50 x 50, one page")
        << 50 << 50 << Paper::A4 << 3.4 << 1 << 1 << QStringLiteral("0+50 0+50");
    // At 3.3 mm, 52 across (pages of 50) and 75 down (pages of 70): 4 x 3 pages, as at 3 mm;
    // at 3.4 mm, 50 across would need 5.
    QTest::newRow("200 x 200, A4")
        << 200 << 200 << Paper::A4 << 3.3 << 4 << 3 << QStringLiteral("148+52r2 138+62r2");
    // Letter at 3.3 mm: 69 down, pages of 60 would need 4, even pages of 68 need 3.
    QTest::newRow("200 x 200, letter")
        << 200 << 200 << Paper::Letter << 3.3 << 4 << 3 << QStringLiteral("148+52r2 132+68r2");
    QTest::newRow("wide, 6 mm cells")
        << 25 << 2 << Paper::A4 << 6.0 << 1 << 1 << QStringLiteral("0+25 0+2");
}

void TestDocument::pages() {
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(Paper, paper);
    QFETCH(double, cell);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QString, lastPage);
    const DocumentPlan plan = planDocument(columns, rows, paper);
    QCOMPARE(plan.chart.cell, cell);
    QCOMPARE(plan.chart.pagesAcross, across);
    QCOMPARE(plan.chart.pagesDown, down);
    // The cover is page 1, the chart pages follow row by row, the key comes last.
    QCOMPARE(plan.pageCount, 2 + across * down);
    QCOMPARE(plan.keyPage, plan.pageCount);
    const ChartPage& last = plan.chart.pages.back();
    QCOMPARE(last.number, plan.pageCount - 1);
    QCOMPARE(describe({last.columns}) + u' ' + describe({last.rows}), lastPage);
    if (across > 1)
        QCOMPARE(plan.chart.page(1, 0).number, 3);
    if (down > 1)
        QCOMPARE(plan.chart.page(0, 1).number, 2 + across);
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
    QTest::addColumn<QList<int>>("skeins"); // per entry
    QTest::addColumn<int>("total");
    QTest::addColumn<double>("metres");
    // 13.1402 mm a cross: 500 take 6.57 m, one skein each (24 m at two strands) but one for both
    // together; B's 100 take 1.31 m.
    QTest::newRow("14, two strands") << 14 << 2 << QList<int>{1, 1, 1, 0} << 2 << 14.4542;
    // 6 to the inch, six strands: 30.66 mm a cross, 15.33 m for 500, 2 skeins each (8 m a skein
    // at six strands), 30.66 m together: 4; B's 3.07 m: 1.
    QTest::newRow("6, six strands") << 6 << 6 << QList<int>{2, 1, 2, 0} << 5 << 33.7266;
}

void TestDocument::key() {
    QFETCH(int, fabric);
    QFETCH(int, strands);
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
    const Key key = makeKey(colours, matches, grid, {fabric, strands});

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
