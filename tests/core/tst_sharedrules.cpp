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
    void joinsPaths_data();
    void joinsPaths();
};

// clang-format off
void SharedRulesTest::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("2.5 down to even") << 2.5 << 2.0;
    QTest::newRow("3.5 up to even") << 3.5 << 4.0;
    QTest::newRow("negative half") << -3.5 << -4.0;
    QTest::newRow("4.52 minutes") << 4.52 << 5.0;
}
// clang-format on

void SharedRulesTest::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(roundHalfEven(value), rounded);
}

// clang-format off
void SharedRulesTest::int16Range_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::optional<int>>("converted");
    QTest::newRow("largest") << 32767.0 << std::optional<int>(32767);
    QTest::newRow("rounds up past the top") << 32767.5 << std::optional<int>();
    QTest::newRow("half below the bottom rounds back in") << -32768.5 << std::optional<int>(-32768);
    QTest::newRow("one past the bottom") << -32769.0 << std::optional<int>();
}
// clang-format on

void SharedRulesTest::int16Range()
{
    QFETCH(double, value);
    QFETCH(std::optional<int>, converted);
    try {
        QCOMPARE(std::optional<int>(toInt16(value)), converted);
    } catch (const RuntimeError &error) {
        QVERIFY(!converted);
        QCOMPARE(QStringLiteral("%1 %2").arg(error.number()).arg(error.description()), QStringLiteral("6 Overflow"));
    }
}

// clang-format off
void SharedRulesTest::numberTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<double>>("number");
    QTest::newRow("whole") << "85" << std::optional<double>(85);
    QTest::newRow("blanks and sign") << "  -100 " << std::optional<double>(-100);
    QTest::newRow("leading point") << ".5" << std::optional<double>(0.5);
    QTest::newRow("exponent") << "25E-1" << std::optional<double>(2.5);
    QTest::newRow("empty") << "" << std::optional<double>();
    QTest::newRow("trailing letter") << "8a" << std::optional<double>();
    QTest::newRow("blank inside") << "1 2" << std::optional<double>();
    QTest::newRow("comma") << "1,5" << std::optional<double>();
    QTest::newRow("point alone") << "." << std::optional<double>();
    QTest::newRow("infinity") << "inf" << std::optional<double>();
    QTest::newRow("too large") << "1e999" << std::optional<double>();
}
// clang-format on

void SharedRulesTest::numberTexts()
{
    QFETCH(QString, text);
    QFETCH(std::optional<double>, number);
    QCOMPARE(parseNumberText(text), number);
    if (!number)
        QVERIFY_THROWS_EXCEPTION(RuntimeError, textToDouble(text));
}

// clang-format off
void SharedRulesTest::joinsPaths_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("joined");
    QTest::newRow("plain") << "/photos/out" << "/photos/out/a.jpg";
    QTest::newRow("trailing separator") << "/photos/out/" << "/photos/out/a.jpg";
    QTest::newRow("root") << "/" << "/a.jpg";
    QTest::newRow("runs collapse, dot-dot stays") << "/photos///../out//" << "/photos/../out/a.jpg";
}
// clang-format on

void SharedRulesTest::joinsPaths()
{
    QFETCH(QString, folder);
    QFETCH(QString, joined);
    QCOMPARE(joinPath(folder, QStringLiteral("a.jpg")), joined);
    QCOMPARE(fileNameOf(joined), QStringLiteral("a.jpg"));
    QCOMPARE(trimBlanks(QStringLiteral(" \t") + folder + QStringLiteral("  ")), QStringLiteral("\t") + folder);
}

QTEST_GUILESS_MAIN(SharedRulesTest)
#include "tst_sharedrules.moc"
