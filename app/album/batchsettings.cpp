#include "batchsettings.h"

#include "settingsstore.h"

namespace tovin {
namespace {

const QString kSection = QStringLiteral("Startup");
const QString kDestinationKey = QStringLiteral("dstInput2");
const QString kBaseNameKey = QStringLiteral("saveasInput");
const QString kFastReductionKey = QStringLiteral("fastReduction");

} // namespace

BatchSettings loadBatchSettings(const SettingsStore &settings)
{
    return {settings.read(kSection, kDestinationKey, QLatin1String(kDefaultDestination)),
            settings.read(kSection, kBaseNameKey, QString()), loadAlbumLayout(settings),
            settings.read(kSection, kFastReductionKey, QStringLiteral("0")) == QLatin1String("1")};
}

void saveBatchSettings(SettingsStore &settings, const BatchSettings &values)
{
    settings.write(kSection, kDestinationKey, values.destination);
    settings.write(kSection, kBaseNameKey, values.baseName);
    saveAlbumLayout(settings, values.layout);
    settings.write(kSection, kFastReductionKey, values.fastReduction ? QStringLiteral("1") : QStringLiteral("0"));
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
    return request;
}

} // namespace tovin
