#include "adjustmentselections.h"

#include "adjustmentcodes.h"
#include "fieldchecks.h"
#include "numbertext.h"

namespace tovin {

void AdjustmentSelections::filterSelected(int position)
{
    SelectedFilter = filterCodeForPosition(position);
}

void AdjustmentSelections::qualitySelected(int position)
{
    if (const std::optional<std::int32_t> flags = saveQualityForPosition(position))
        SaveQuality = *flags;
}

void AdjustmentSelections::qualityTyped(const QString &text, UserPrompts &prompts)
{
    if (ValidateAdjustmentField(QStringLiteral("qualityCombo"), text, ScreenTwips{}, prompts))
        SaveQuality = toInt32(textToDouble(text));
    else
        SaveQuality = 0;
}

} // namespace tovin
