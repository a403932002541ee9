#include "fieldchecks.h"

#include "albumlayoutfields.h"
#include "messagetable.h"
#include "numbertext.h"
#include "userprompts.h"

#include <QHash>

#include <optional>

namespace tovin {
namespace {

// The main window's own fields; the album's come from the layout table.
const QHash<QString, FieldRange> kAdjustmentFieldRanges{
    {QStringLiteral("widthInput"), FieldRange::Percent},      {QStringLiteral("heightInput"), FieldRange::Percent},
    {QStringLiteral("brightInput"), FieldRange::Level},       {QStringLiteral("contrastInput"), FieldRange::Level},
    {QStringLiteral("qualityCombo"), FieldRange::Percentage},
};

std::optional<FieldRange> rangeOf(const QString &field)
{
    if (const AlbumLayoutField *layoutField = albumLayoutField(field))
        return layoutField->range;
    const auto found = kAdjustmentFieldRanges.constFind(field);
    if (found == kAdjustmentFieldRanges.constEnd())
        return std::nullopt;
    return *found;
}

bool refuse(UserPrompts &prompts, const QString &text)
{
    prompts.showMessage(text, message(111), PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
}

// The screen bounds are compared and written as single-precision numbers.
bool withinScreen(double value, double limit, UserPrompts &prompts)
{
    const float bound = float(limit);
    if (value > 0 && float(value) <= bound)
        return true;
    return refuse(prompts, QStringLiteral("Value must be between 1 to ") + QString::number(bound, 'g', 7));
}

// On this system the folder separator is '/': a folder path may hold it and
// not the backslash, where a file name may hold neither.
const QString kForbiddenInPath = QStringLiteral("*\\<?>|\"");
const QString kForbiddenInName = QStringLiteral(":*/<?>\\|\"");

} // namespace

bool ValidateAdjustmentField(const QString &field, const QString &text, ScreenTwips screen, UserPrompts &prompts)
{
    const std::optional<double> number = parseNumberText(text);
    if (!number)
        return refuse(prompts, message(43));
    const double v = *number;

    const std::optional<FieldRange> range = rangeOf(field);
    Q_ASSERT_X(range && range != FieldRange::Color, "ValidateAdjustmentField", "a field without a check");
    switch (range.value_or(FieldRange::Color)) {
    case FieldRange::Percent:
        return (v > 0 && v <= 200) || refuse(prompts, message(44));
    case FieldRange::Level:
        return (v >= -100 && v <= 100) || refuse(prompts, message(45));
    case FieldRange::ScreenWidth:
        return withinScreen(v, screen.width, prompts);
    case FieldRange::ScreenHeight:
        return withinScreen(v, screen.height, prompts);
    case FieldRange::Percentage:
        return (v >= 0 && v <= 100) || refuse(prompts, QStringLiteral("Value must be between 0 to 100"));
    case FieldRange::Grid:
        return (v > 0 && v <= 10) || refuse(prompts, QStringLiteral("Value must be between 1 to 10"));
    case FieldRange::Color:
        break;
    }
    return true;
}

bool CheckForbiddenCharacters(const QString &text, bool isPath, UserPrompts &prompts, const QString &fieldName)
{
    const QString checked = trimBlanks(text);
    if (isPath && checked.isEmpty())
        return refuse(prompts, message(81));
    const QString &forbidden = isPath ? kForbiddenInPath : kForbiddenInName;
    for (const QChar c : checked) {
        if (forbidden.contains(c))
            return refuse(prompts, QStringLiteral(" ' ") + c + QStringLiteral(" ' ") + message(80) + u'\n');
    }
    if (const std::optional<QChar> control = firstControlCharacter(checked))
        return refuse(prompts,
                      fieldName + QStringLiteral(" ' ") + characterCode(*control) + QStringLiteral(" ' ") + message(80)
                          + u'\n');
    return true;
}

std::optional<QChar> firstControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return c;
    }
    return std::nullopt;
}

QString characterCode(QChar c)
{
    return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QChar(u'0')).toUpper();
}

} // namespace tovin
