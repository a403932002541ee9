#include "adjustmentgroups.h"

namespace tovin {

QStringList adjustmentGroupControls(int group)
{
    switch (group) {
    case 1:
        return {QStringLiteral("widthInput"),   QStringLiteral("widthTick"),     QStringLiteral("heightInput"),
                QStringLiteral("heightTick"),   QStringLiteral("brightInput"),   QStringLiteral("brightTick"),
                QStringLiteral("contrastTick"), QStringLiteral("contrastInput"), QStringLiteral("filterCombo"),
                QStringLiteral("qualityCombo"), QStringLiteral("previewButton"), QStringLiteral("recordButton"),
                QStringLiteral("resetButton"),  QStringLiteral("startButton")};
    case 2:
        return {QStringLiteral("generateButton"), QStringLiteral("dstButton"), QStringLiteral("dstInput"),
                QStringLiteral("saveasInput")};
    default:
        return {};
    }
}

} // namespace tovin
