// The OXS interchange file: written, read back and written again byte for byte; what is refused.
#include "document/oxs.h"

#include <QBuffer>
#include <QTest>

using namespace trameda;
using namespace trameda::document;
using stitching::Brand;

namespace {

QByteArray written(const OxsChart& chart) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!writeOxs(buffer, chart))
        return {};
    return buffer.data();
}

// A 4 x 3 chart of three threads of `brand`, one cell unstitched.
OxsChart sample(Brand brand, bool background) {
    const threads::ThreadTable& table = threads::ThreadTable::forBrand(brand);
    OxsChart chart;
    chart.title = QStringLiteral("Fiori & \"sole\" <prova>");
    chart.fabric = 18;
    chart.strands = 3;
    stitching::StitchedPattern& p = chart.pattern;
    p.brand = brand;
    p.grid = stitching::StitchGrid(4, 3);
    for (const int row : {0, 7, 42}) {
        stitching::PatternEntry e;
        e.colour = table.at(row).colour;
        e.thread = {row, 0.0};
        p.entries.push_back(e);
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            p.grid.set(x, y, (x + y) % 3);
    p.grid.set(3, 2, -1);
    if (background)
        p.background = 0xFF203040;
    stitching::keepUsedEntries(p);
    return chart;
}

QByteArray chartWith(const QByteArray& properties, const QByteArray& items,
                     const QByteArray& stitches) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<chart>\n<properties oxsversion=\"1.0\" " +
           properties + "/>\n<palette>\n<palette_item index=\"0\" number=\"cloth\" "
                        "name=\"cloth\" color=\"FFFFFF\"/>\n" +
           items + "</palette>\n<fullstitches>\n" + stitches + "</fullstitches>\n</chart>\n";
}

} // namespace

class TestOxs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void otherPrograms();
    void refused_data();
    void refused();
};

void TestOxs::roundTrip_data() {
    QTest::addColumn<Brand>("brand");
    QTest::addColumn<bool>("background");
    QTest::newRow("DMC on white") << Brand::Dmc << false;
    QTest::newRow("Anchor, background left unstitched") << Brand::Anchor << true;
    QTest::newRow("Madeira") << Brand::Madeira << false;
}

void TestOxs::roundTrip() {
    QFETCH(Brand, brand);
    QFETCH(bool, background);
    const OxsChart chart = sample(brand, background);
    const QByteArray first = written(chart);
    QVERIFY(first.contains("<chart>"));
    QVERIFY(first.contains("chartwidth=\"4\" chartheight=\"3\""));
    QVERIFY(first.contains("palettecount=\"3\""));
    QVERIFY(first.contains("<stitch x=\"0\" y=\"0\" palindex=\"1\"/>"));
    QVERIFY(!first.contains("x=\"3\" y=\"2\""));
    const OxsRead read = readOxs(first, Brand::Dmc);
    QVERIFY2(read.chart, qPrintable(read.failure));
    QCOMPARE(read.chart->title, chart.title);
    QCOMPARE(read.chart->fabric, 18);
    QCOMPARE(read.chart->pattern.brand, brand);
    QCOMPARE(read.chart->pattern.background.has_value(), background);
    QCOMPARE(read.chart->pattern.entries.size(), chart.pattern.entries.size());
    for (std::size_t e = 0; e < chart.pattern.entries.size(); ++e) {
        QCOMPARE(read.chart->pattern.entries[e].thread.index, chart.pattern.entries[e].thread.index);
        QCOMPARE(read.chart->pattern.entries[e].stitches, chart.pattern.entries[e].stitches);
    }
    OxsChart again = *read.chart;
    again.strands = chart.strands;
    QCOMPARE(written(again), first);
}

void TestOxs::otherPrograms() {
    // Another program's file: four spaces in a number, a blend, a thread not in any table,
    // coordinates as decimals, a stitch on the cloth, and sections this program passes over.
    const QByteArray file = chartWith(
        "chartwidth=\"3\" chartheight=\"2\" charttitle=\"Altro\" stitchesperinch=\"16\"",
        "<palette_item index=\"1\" number=\"DMC    310\" name=\"Black\" color=\"000000\"/>\n"
        "<palette_item index=\"2\" number=\"DMC 158 [+]\" name=\"blend\" color=\"303065\"/>\n"
        "<palette_item index=\"3\" number=\"Mio 1\" name=\"mio\" color=\"FF0000\"/>\n",
        "<stitch x=\"0\" y=\"0\" palindex=\"1\"/><stitch x=\"1.0\" y=\"0\" palindex=\"2\"/>"
        "<stitch x=\"2\" y=\"1\" palindex=\"3\"/><stitch x=\"1\" y=\"1\" palindex=\"0\"/>"
        "<partstitches><partstitch x=\"1\" y=\"1\" palindex1=\"1\"/></partstitches>");
    const OxsRead read = readOxs(file, Brand::Anchor);
    QVERIFY2(read.chart, qPrintable(read.failure));
    const stitching::StitchedPattern& p = read.chart->pattern;
    QCOMPARE(p.brand, Brand::Dmc);
    QCOMPARE(p.entries.size(), std::size_t(3));
    const auto& dmc = threads::ThreadTable::dmc();
    QCOMPARE(dmc.at(p.entries[0].thread.index).number, QStringLiteral("310"));
    QCOMPARE(dmc.at(p.entries[1].thread.index).number, QStringLiteral("158"));
    QCOMPARE(p.grid.at(1, 1), -1);
    QCOMPARE(p.grid.at(2, 1), 2);
    QCOMPARE(read.chart->fabric, 16);
}

void TestOxs::refused_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("failure");
    const QByteArray item = "<palette_item index=\"1\" number=\"DMC 310\" color=\"000000\"/>\n";
    QTest::newRow("not XML") << QByteArray("ciao") << "riga 1: XML non valido, alla colonna 1";
    QTest::newRow("another root") << QByteArray("<?xml version=\"1.0\"?>\n<svg/>")
                                  << "riga 2: non è uno schema OXS: manca <chart>";
    QTest::newRow("cut short") << chartWith("chartwidth=\"2\" chartheight=\"2\"", item, "").left(150)
                               << "riga 5: il file finisce a metà";
    QTest::newRow("too wide") << chartWith("chartwidth=\"600\" chartheight=\"2\"", item, "")
                              << "riga 3: chartwidth=\"600\" fuori dai limiti, da 1 a 500";
    QTest::newRow("no width") << chartWith("chartwidth=\"\" chartheight=\"2\"", item, "")
                              << "riga 3: chartwidth=\"\" non è un numero intero";
    QTest::newRow("bad colour") << chartWith("chartwidth=\"2\" chartheight=\"2\"",
                                             "<palette_item index=\"1\" color=\"nil\"/>\n", "")
                                << "riga 6: color=\"nil\" non è un colore RRGGBB";
    QTest::newRow("outside") << chartWith("chartwidth=\"2\" chartheight=\"2\"", item,
                                          "<stitch x=\"2\" y=\"0\" palindex=\"1\"/>\n")
                             << "riga 9: x=\"2\" fuori dai limiti, da 0 a 1";
    QTest::newRow("no such thread") << chartWith("chartwidth=\"2\" chartheight=\"2\"", item,
                                                 "<stitch x=\"1\" y=\"0\" palindex=\"2\"/>\n")
                                    << "riga 9: palindex=\"2\" fuori dai limiti, da 0 a 1";
    QByteArray many;
    for (int i = 1; i <= 61; ++i)
        many += "<palette_item index=\"" + QByteArray::number(i) + "\" color=\"000000\"/>\n";
    QTest::newRow("61 threads") << chartWith("chartwidth=\"2\" chartheight=\"2\"", many, "")
                                << "riga 66: più di 60 fili";
}

void TestOxs::refused() {
    QFETCH(QByteArray, file);
    QFETCH(QString, failure);
    const OxsRead read = readOxs(file, Brand::Dmc);
    QVERIFY(!read.chart);
    QCOMPARE(read.failure, failure);
}

QTEST_GUILESS_MAIN(TestOxs)
#include "tst_oxs.moc"
