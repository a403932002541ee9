// The rules every part of the program shares: rounding, 16-bit ranges,
// numbers typed as text, and path joining.

#include "numbertext.h"
#include "paths.h"
#include "runtimeerror.h"

#include <tovin/numeric.h>

#include <QTest>

#include <optional>

using namespace tovin;

class SharedRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void int16Range_data();
    void int16Range();
    void numberTexts_data();
    void numberTexts();
    void joinsAndCollapsesPaths_data();
    void joinsAndCollapsesPaths();
    void trimsBlanksOnly();
};

void SharedRulesTest::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("2.5 goes down to even") << 2.5 << 2.0;
    QTest::newRow("3.5 goes up to even") << 3.5 << 4.0;
    QTest::newRow("negative half") << -3.5 << -4.0;
    QTest::newRow("1001 px at 50%") << 500.5 << 500.0;
    QTest::newRow("1003 px at 50%") << 501.5 << 502.0;
    QTest::newRow("1023 px thumbnail") << 511.5 << 512.0;
    QTest::newRow("1025 px thumbnail") << 512.5 << 512.0;
    QTest::newRow("zoom 150.5") << 150.5 << 150.0;
    QTest::newRow("zoom 151.5") << 151.5 << 152.0;
    QTest::newRow("58.5 seconds") << 58.5 << 58.0;
    QTest::newRow("59.5 seconds") << 59.5 << 60.0;
    QTest::newRow("4.52 minutes") << 4.52 << 5.0;
    QTest::newRow("maximum -3.5") << -3.5 << -4.0;
    QTest::newRow("maximum -2.5") << -2.5 << -2.0;
}

void SharedRulesTest::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(roundHalfEven(value), rounded);
}

void SharedRulesTest::int16Range_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::optional<int>>("converted");
    QTest::newRow("largest") << 32767.0 << std::optional<int>(32767);
    QTest::newRow("smallest") << -32768.0 << std::optional<int>(-32768);
    QTest::newRow("rounds up past the top") << 32767.5 << std::optional<int>();
    QTest::newRow("half below the bottom rounds back in") << -32768.5 << std::optional<int>(-32768);
    QTest::newRow("one past the bottom") << -32769.0 << std::optional<int>();
    QTest::newRow("a row count of 40000") << 40000.0 << std::optional<int>();
}

void SharedRulesTest::int16Range()
{
    QFETCH(double, value);
    QFETCH(std::optional<int>, converted);
    if (converted) {
        QCOMPARE(int(toInt16(value)), *converted);
        return;
    }
    try {
        toInt16(value);
        QFAIL("no overflow raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 6);
        QCOMPARE(error.description(), QStringLiteral("Overflow"));
    }
}

void SharedRulesTest::numberTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<double>>("number");
    QTest::newRow("whole") << "85" << std::optional<double>(85);
    QTest::newRow("blanks around") << "  5 " << std::optional<double>(5);
    QTest::newRow("sign") << "-100" << std::optional<double>(-100);
    QTest::newRow("plus sign") << "+7" << std::optional<double>(7);
    QTest::newRow("fraction") << "0.5" << std::optional<double>(0.5);
    QTest::newRow("leading point") << ".5" << std::optional<double>(0.5);
    QTest::newRow("trailing point") << "5." << std::optional<double>(5);
    QTest::newRow("exponent") << "1e2" << std::optional<double>(100);
    QTest::newRow("signed exponent") << "25E-1" << std::optional<double>(2.5);
    QTest::newRow("empty") << "" << std::optional<double>();
    QTest::newRow("blanks only") << "   " << std::optional<double>();
    QTest::newRow("letter") << "a" << std::optional<double>();
    QTest::newRow("trailing letter") << "8a" << std::optional<double>();
    QTest::newRow("blank inside") << "1 2" << std::optional<double>();
    QTest::newRow("comma") << "1,5" << std::optional<double>();
    QTest::newRow("point alone") << "." << std::optional<double>();
    QTest::newRow("exponent without digits") << "1e" << std::optional<double>();
    QTest::newRow("infinity") << "inf" << std::optional<double>();
    QTest::newRow("too large") << "1e999" << std::optional<double>();
    QTest::newRow("hexadecimal") << "0x10" << std::optional<double>();
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0665") << std::optional<double>();
}

void SharedRulesTest::numberTexts()
{
    QFETCH(QString, text);
    QFETCH(std::optional<double>, number);
    QCOMPARE(parseNumberText(text), number);
    if (!number) {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, textToDouble(text));
    }
}

void SharedRulesTest::joinsAndCollapsesPaths_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("joined");
    QTest::newRow("plain") << "/photos/out"
                           << "slides"
                           << "/photos/out/slides";
    QTest::newRow("trailing separator") << "/photos/out/"
                                        << "slides"
                                        << "/photos/out/slides";
    QTest::newRow("root") << "/"
                          << "a.jpg"
                          << "/a.jpg";
    QTest::newRow("doubled inside") << "/photos//out"
                                    << "a.jpg"
                                    << "/photos/out/a.jpg";
    QTest::newRow("a run of three") << "/photos///out/"
                                    << "/a.jpg"
                                    << "/photos/out/a.jpg";
    QTest::newRow("dot-dot is kept") << "/photos/../out"
                                     << "a.jpg"
                                     << "/photos/../out/a.jpg";
}

void SharedRulesTest::joinsAndCollapsesPaths()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, joined);
    QCOMPARE(joinPath(folder, name), joined);
    QCOMPARE(fileNameOf(joined), fileNameOf(name));
}

void SharedRulesTest::trimsBlanksOnly()
{
    QCOMPARE(trimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    QCOMPARE(trimBlanks(QStringLiteral("\ta\t")), QStringLiteral("\ta\t"));
    QCOMPARE(trimBlanks(QStringLiteral("   ")), QString());
}

QTEST_GUILESS_MAIN(SharedRulesTest)
#include "tst_sharedrules.moc"
