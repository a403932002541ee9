#include "batchsettings.h"

#include "settingsstore.h"

#include <array>

namespace tovin {
namespace {

const QString kSection = QStringLiteral("Startup");
const QString kDestinationKey = QStringLiteral("dstInput2");
const QString kBaseNameKey = QStringLiteral("saveasInput");
const QString kSlideSideKey = QStringLiteral("slideSide");

// The window's check boxes and choices, stored as 1 or 0.
struct Choice {
    const char *key;
    bool BatchSettings::*value;
};
constexpr std::array<Choice, 4> kChoices{{
    {"fastReduction", &BatchSettings::fastReduction},
    {"convertToSrgb", &BatchSettings::convertToSrgb},
    {"removePrivateData", &BatchSettings::removePrivateData},
    {"slidesFitted", &BatchSettings::slidesFitted},
}};

} // namespace

BatchSettings loadBatchSettings(const SettingsStore &settings)
{
    BatchSettings values;
    values.destination = settings.read(kSection, kDestinationKey, QLatin1String(kDefaultDestination));
    values.baseName = settings.read(kSection, kBaseNameKey, QString());
    values.layout = loadAlbumLayout(settings);
    for (const Choice &choice : kChoices) {
        bool &value = values.*choice.value;
        value = settings.read(kSection, QLatin1String(choice.key), value ? QStringLiteral("1") : QStringLiteral("0"))
            == QLatin1String("1");
    }
    values.slideSide = settings.read(kSection, kSlideSideKey, values.slideSide);
    return values;
}

void saveBatchSettings(SettingsStore &settings, const BatchSettings &values)
{
    settings.write(kSection, kDestinationKey, values.destination);
    settings.write(kSection, kBaseNameKey, values.baseName);
    saveAlbumLayout(settings, values.layout);
    for (const Choice &choice : kChoices)
        settings.write(kSection, QLatin1String(choice.key),
                       values.*choice.value ? QStringLiteral("1") : QStringLiteral("0"));
    settings.write(kSection, kSlideSideKey, values.slideSide);
}

BatchRequest batchRequest(const BatchSettings &values, BatchMode mode, const QList<BatchItem> &items,
                          const MainAdjustments &adjustments)
{
    BatchRequest request;
    request.destination = values.destination;
    request.baseName = values.baseName;
    request.mode = mode;
    request.items = items;
    request.adjustments = adjustments;
    request.layout = values.layout;
    request.fastReduction = values.fastReduction;
    request.convertToSrgb = values.convertToSrgb;
    request.removePrivateData = values.removePrivateData;
    if (values.slidesFitted)
        request.slidesFitWithin = parseSlideSide(values.slideSide).value_or(kDefaultSlideSide);
    return request;
}

} // namespace tovin
