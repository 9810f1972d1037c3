// The number and colour rules the whole program leans on: Val and Str as the window's texts use
// them, halves rounded to even, the colour split.
#include "runtime/colour.h"
#include "runtime/numbers.h"
#include "runtime/runtimeerror.h"

#include <QLocale>
#include <QTest>
#include <clocale>
#include <limits>

using namespace trameda;

class TestNumbers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void val_data();
    void val();
    void str_data();
    void str();
    void strAndValIgnoreLocale();
    void roundHalfEven_data();
    void roundHalfEven();
    void integerConversions();
    void colourSplit_data();
    void colourSplit();
    void standardColours();
};

void TestNumbers::val_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    // What a user may leave in the palette-size box, and what palette files hold.
    QTest::newRow("plain") << "8" << 8.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("minus five") << "-5" << -5.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("trailing zero") << "2.50" << 2.5;
    QTest::newRow("half") << "0.5" << 0.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("negative leading point") << "-.5" << -0.5;
    QTest::newRow("digits then letters") << "12abc" << 12.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("blanks anywhere") << " 1 2\t3\n" << 123.0;
    QTest::newRow("sign then blank") << "- 3" << -3.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("double sign") << "--3" << 0.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("D exponent") << "2D2" << 200.0;
    QTest::newRow("negative exponent") << "25E-1" << 2.5;
    QTest::newRow("bare exponent") << "1e" << 1.0;
    QTest::newRow("exponent sign only") << "1e+" << 1.0;
    QTest::newRow("exponent without mantissa") << "e5" << 0.0;
    QTest::newRow("comma is not a decimal point") << "2,5" << 2.0;
    QTest::newRow("carriage return stops") << "1\r2" << 1.0;
    QTest::newRow("palette line") << " 16777215 \r\n" << 16777215.0;
    QTest::newRow("underflow") << "1e-400" << 0.0;
    // Reading never fails: beyond a double's range stands the largest double of that sign.
    const double largest = std::numeric_limits<double>::max();
    QTest::newRow("overflow") << "1e999" << largest;
    QTest::newRow("negative overflow") << "-1e400" << -largest;
    QTest::newRow("overflow by digits") << QString(400, u'9') << largest;
}

void TestNumbers::val() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(Val(text), value);
}

void TestNumbers::str_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("positive") << 8.0 << " 8";
    QTest::newRow("zero") << 0.0 << " 0";
    QTest::newRow("negative") << -3.0 << "-3";
    QTest::newRow("fraction") << 2.5 << " 2.5";
    QTest::newRow("negative fraction") << -0.25 << "-0.25";
    QTest::newRow("large whole") << 16777215.0 << " 16777215";
    QTest::newRow("huge") << 1e20 << " 1E+20";
    QTest::newRow("tiny") << 1.5e-7 << " 1.5E-07";
    QTest::newRow("largest") << std::numeric_limits<double>::max() << " 1.79769313486232E+308";
}

void TestNumbers::str() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(Str(value), text);
}

void TestNumbers::strAndValIgnoreLocale() {
    // An Italian desktop writes decimals with a comma; the program's texts never do.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    std::setlocale(LC_NUMERIC, "it_IT.UTF-8");
    QCOMPARE(Str(2.5), QStringLiteral(" 2.5"));
    QCOMPARE(Val(u"2.5"), 2.5);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(saved);
}

void TestNumbers::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("4.5") << 4.5 << 4.0;
    QTest::newRow("7.5") << 7.5 << 8.0;
    QTest::newRow("10.5") << 10.5 << 10.0;
    QTest::newRow("127.5") << 127.5 << 128.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("2.4999") << 2.4999 << 2.0;
    QTest::newRow("2.5001") << 2.5001 << 3.0;
    QTest::newRow("-2.7") << -2.7 << -3.0;
}

void TestNumbers::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(trameda::roundHalfEven(value), rounded);
}

void TestNumbers::integerConversions() {
    QCOMPARE(toInteger(32767.4), std::int16_t(32767));
    QCOMPARE(toInteger(-32768), std::int16_t(-32768));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, toInteger(32767.5));
    QCOMPARE(toLong(16777215.5), std::int32_t(16777216));
    QCOMPARE(toLong(2.5), std::int32_t(2));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, toLong(4294967296.0));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, toLong(std::nan("")));
}

void TestNumbers::colourSplit_data() {
    QTest::addColumn<int>("colour");
    QTest::addColumn<double>("red");
    QTest::addColumn<double>("green");
    QTest::addColumn<double>("blue");
    QTest::newRow("black") << 0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("white") << 0xFFFFFF << 255.0 << 255.0 << 255.0;
    QTest::newRow("red is the low byte") << 0x0000FF << 255.0 << 0.0 << 0.0;
    QTest::newRow("mixed") << RGB(0x30, 0x98, 0xcf) << 48.0 << 152.0 << 207.0;
    QTest::newRow("outside the picture") << -1 << 255.0 << 255.0 << -1.0;
}

void TestNumbers::colourSplit() {
    QFETCH(int, colour);
    const Components c = splitColour(colour);
    QTEST(c.red, "red");
    QTEST(c.green, "green");
    QTEST(c.blue, "blue");
}

void TestNumbers::standardColours() {
    QCOMPARE(QBColor(0), 0x000000);
    QCOMPARE(QBColor(6), 0x008080); // dark yellow: red and green at 128
    QCOMPARE(QBColor(9), 0xFF0000); // light blue in 0x00BBGGRR
    QCOMPARE(QBColor(15), 0xFFFFFF);
    QCOMPARE(toQColor(QBColor(12)), QColor(255, 0, 0));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, QBColor(16));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, QBColor(-1));
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
