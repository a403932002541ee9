// The checks the windows run on their fields, and the colour text of a
// swatch.

#include "fieldchecks.h"
#include "platformcolor.h"
#include "scriptedprompts.h"

#include <QTest>

#include <optional>

using namespace tovin;
using tovin::test::ScriptedPrompts;

namespace {

// A 1280 x 1024 screen at 96 dots per inch.
constexpr ScreenTwips kScreen{19200, 15360};

// Nothing for an accepted text; else the one refusal, titled "Error!".
QList<test::ShownPrompt> refusals(const QString &text)
{
    if (text.isEmpty())
        return {};
    return {test::messageBox(text, QStringLiteral("Error!"), PromptIcon::Exclamation)};
}

} // namespace

class FieldChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void validatesFields_data();
    void validatesFields();
    void forbiddenCharacters_data();
    void forbiddenCharacters();
    void colorTexts_data();
    void colorTexts();
};

// clang-format off
void FieldChecksTest::validatesFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");
    const QString percent = QStringLiteral("Number must be between 1 and 200.");
    const QString level = QStringLiteral("Number must be -100 and 100.");
    const QString notNumber = QStringLiteral("Please enter a number.");
    QTest::newRow("width 0") << "widthInput" << "0" << percent;
    QTest::newRow("width 0.5") << "widthInput" << "0.5" << "";
    QTest::newRow("height 201") << "heightInput" << "201" << percent;
    QTest::newRow("width emptied") << "widthInput" << "" << notNumber;
    QTest::newRow("brightness -100") << "brightInput" << "-100" << "";
    QTest::newRow("brightness -101") << "brightInput" << "-101" << level;
    QTest::newRow("rows 10") << "thumb_r" << "10" << "";
    QTest::newRow("rows 11") << "thumb_r" << "11" << "Value must be between 1 to 10";
    QTest::newRow("columns 0") << "thumb_c" << "0" << "Value must be between 1 to 10";
    QTest::newRow("slide alpha 0") << "slide_a" << "0" << "";
    QTest::newRow("thumb padding 101") << "thumb_p" << "101" << "Value must be between 0 to 100";
    QTest::newRow("typed quality letter") << "qualityCombo" << "x" << notNumber;
    QTest::newRow("slide x at the screen's edge") << "slide_x" << "19200" << "";
    QTest::newRow("slide x past the edge") << "slide_x" << "19201" << "Value must be between 1 to 19200";
    QTest::newRow("spacing against the height") << "thumb_s" << "15361" << "Value must be between 1 to 15360";
}
// clang-format on

void FieldChecksTest::validatesFields()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    ScriptedPrompts prompts;
    QCOMPARE(ValidateAdjustmentField(field, text, kScreen, prompts), refusal.isEmpty());
    QCOMPARE(prompts.shown, refusals(refusal));
}

// clang-format off
void FieldChecksTest::forbiddenCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isPath");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("folder") << "/photos/out" << true << "";
    QTest::newRow("question mark in a folder") << "/photos/out?" << true << " ' ? ' is an unacceptable character.\n";
    QTest::newRow("backslash in a folder") << "/photos\\out" << true << " ' \\ ' is an unacceptable character.\n";
    QTest::newRow("the first forbidden one is named") << "/a|b*c" << true << " ' | ' is an unacceptable character.\n";
    QTest::newRow("empty folder") << "   " << true << "Field is empty. Please try again.";
    QTest::newRow("empty file name") << "" << false << "";
    QTest::newRow("colon in a file name") << "a:b" << false << " ' : ' is an unacceptable character.\n";
    QTest::newRow("separator in a file name") << "a/b" << false << " ' / ' is an unacceptable character.\n";
}
// clang-format on

void FieldChecksTest::forbiddenCharacters()
{
    QFETCH(QString, text);
    QFETCH(bool, isPath);
    QFETCH(QString, refusal);
    ScriptedPrompts prompts;
    QCOMPARE(CheckForbiddenCharacters(text, isPath, prompts), refusal.isEmpty());
    QCOMPARE(prompts.shown, refusals(refusal));
}

// clang-format off
void FieldChecksTest::colorTexts_data()
{
    QTest::addColumn<int>("color");
    QTest::addColumn<QString>("hex");
    QTest::newRow("pure red") << 0x0000FF << "FF0000";
    QTest::newRow("mixed") << 0x123456 << "563412";
    QTest::newRow("no colour") << -1 << "";
}
// clang-format on

void FieldChecksTest::colorTexts()
{
    QFETCH(int, color);
    QFETCH(QString, hex);
    QCOMPARE(ColorToHexRGB(color), hex);
    if (!hex.isEmpty()) {
        QCOMPARE(colorFromHexRGB(hex), std::optional<std::int32_t>(color));
        QCOMPARE(colorFromHexRGB(hex.toLower()), std::optional<std::int32_t>(color));
    }
    QCOMPARE(colorFromHexRGB(QStringLiteral("FF00")), std::nullopt);
    QCOMPARE(colorFromHexRGB(QStringLiteral("GG0000")), std::nullopt);
}

QTEST_GUILESS_MAIN(FieldChecksTest)
#include "tst_fieldchecks.moc"
