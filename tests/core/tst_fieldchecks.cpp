// The checks the windows run on their fields, and the colour text of a
// swatch.

#include "fieldchecks.h"
#include "platformcolor.h"
#include "scriptedprompts.h"

#include <QTest>

#include <optional>

using namespace tovin;

// Nothing for an accepted text; else the one refusal, titled "Error!".
QList<test::ShownPrompt> refusals(const QString &text)
{
    if (text.isEmpty())
        return {};
    return {test::messageBox(text, QStringLiteral("Error!"), PromptIcon::Exclamation)};
}

class FieldChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void validatesFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");
        const QString percent = QStringLiteral("Number must be between 1 and 200.");
        const QString level = QStringLiteral("Number must be -100 and 100.");
        const QString notNumber = QStringLiteral("Please enter a number.");
        // clang-format off
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
        // clang-format on
    }

    void validatesFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        test::ScriptedPrompts prompts;
        // A 1280 x 1024 screen at 96 dots per inch.
        QCOMPARE(ValidateAdjustmentField(field, text, ScreenTwips{19200, 15360}, prompts), refusal.isEmpty());
        QCOMPARE(prompts.shown, refusals(refusal));
    }

    void forbiddenCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isPath");
        QTest::addColumn<QString>("refusal");
        const QString unacceptable = QStringLiteral(" ' %1 ' is an unacceptable character.\n");
        // clang-format off
        QTest::newRow("folder") << "/photos/out" << true << "";
        QTest::newRow("question mark in a folder") << "/photos/out?" << true << unacceptable.arg(QChar(u'?'));
        QTest::newRow("backslash in a folder") << "/photos\\out" << true << unacceptable.arg(QChar(u'\\'));
        QTest::newRow("the first forbidden one is named") << "/a|b*c" << true << unacceptable.arg(QChar(u'|'));
        QTest::newRow("empty folder") << "   " << true << "Field is empty. Please try again.";
        QTest::newRow("empty file name") << "" << false << "";
        QTest::newRow("colon in a file name") << "a:b" << false << unacceptable.arg(QChar(u':'));
        QTest::newRow("separator in a file name") << "a/b" << false << unacceptable.arg(QChar(u'/'));
        // clang-format on
    }

    void forbiddenCharacters()
    {
        QFETCH(QString, text);
        QFETCH(bool, isPath);
        QFETCH(QString, refusal);
        test::ScriptedPrompts prompts;
        QCOMPARE(CheckForbiddenCharacters(text, isPath, prompts), refusal.isEmpty());
        QCOMPARE(prompts.shown, refusals(refusal));
    }

    void colorTexts()
    {
        for (auto [color, hex] : {std::pair(0x0000FF, "FF0000"), {0x123456, "563412"}}) {
            QCOMPARE(ColorToHexRGB(color), QLatin1String(hex));
            QCOMPARE(colorFromHexRGB(QLatin1String(hex)), std::optional<std::int32_t>(color));
            QCOMPARE(colorFromHexRGB(QString::fromLatin1(hex).toLower()), std::optional<std::int32_t>(color));
        }
        QCOMPARE(ColorToHexRGB(-1), QString());
        QCOMPARE(colorFromHexRGB(QStringLiteral("FF00")), std::nullopt);
        QCOMPARE(colorFromHexRGB(QStringLiteral("GG0000")), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(FieldChecksTest)
#include "tst_fieldchecks.moc"
