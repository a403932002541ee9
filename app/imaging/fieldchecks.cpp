#include "fieldchecks.h"

#include "messagetable.h"
#include "numbertext.h"
#include "userprompts.h"

#include <QSet>

#include <optional>

namespace tovin {
namespace {

const QSet<QString> kPercentFields{QStringLiteral("widthInput"), QStringLiteral("heightInput")};
const QSet<QString> kLevelFields{QStringLiteral("brightInput"), QStringLiteral("contrastInput")};
const QSet<QString> kScreenWidthFields{QStringLiteral("slide_x"),   QStringLiteral("thumb_x"),
                                       QStringLiteral("thumb_w"),   QStringLiteral("bbutton_x"),
                                       QStringLiteral("nbutton_x"), QStringLiteral("caption_w")};
const QSet<QString> kScreenHeightFields{
    QStringLiteral("slide_y"),   QStringLiteral("thumb_y"), QStringLiteral("thumb_h"),  QStringLiteral("bbutton_y"),
    QStringLiteral("nbutton_y"), QStringLiteral("thumb_s"), QStringLiteral("caption_h")};
const QSet<QString> kPercentageFields{QStringLiteral("slide_p"), QStringLiteral("slide_a"), QStringLiteral("thumb_p"),
                                      QStringLiteral("thumb_a"), QStringLiteral("qualityCombo")};
const QSet<QString> kGridFields{QStringLiteral("thumb_r"), QStringLiteral("thumb_c")};

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

    if (kPercentFields.contains(field))
        return (v > 0 && v <= 200) || refuse(prompts, message(44));
    if (kLevelFields.contains(field))
        return (v >= -100 && v <= 100) || refuse(prompts, message(45));
    if (kScreenWidthFields.contains(field))
        return withinScreen(v, screen.width, prompts);
    if (kScreenHeightFields.contains(field))
        return withinScreen(v, screen.height, prompts);
    if (kPercentageFields.contains(field))
        return (v >= 0 && v <= 100) || refuse(prompts, QStringLiteral("Value must be between 0 to 100"));
    if (kGridFields.contains(field))
        return (v > 0 && v <= 10) || refuse(prompts, QStringLiteral("Value must be between 1 to 10"));
    Q_ASSERT_X(false, "ValidateAdjustmentField", "a field without a check");
    return true;
}

bool CheckForbiddenCharacters(const QString &text, bool isPath, UserPrompts &prompts)
{
    const QString checked = trimBlanks(text);
    if (isPath && checked.isEmpty())
        return refuse(prompts, message(81));
    const QString &forbidden = isPath ? kForbiddenInPath : kForbiddenInName;
    for (const QChar c : checked) {
        if (forbidden.contains(c))
            return refuse(prompts, QStringLiteral(" ' ") + c + QStringLiteral(" ' ") + message(80) + u'\n');
    }
    return true;
}

} // namespace tovin
