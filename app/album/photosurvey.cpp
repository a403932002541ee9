#include "photosurvey.h"

#include "photofacts.h"

#include <QFileInfo>

#include <algorithm>

namespace tovin {

QList<SurveyedPhoto> surveyPhotos(const QList<BatchItem> &items, const std::function<bool()> &stopped)
{
    QList<SurveyedPhoto> photos;
    for (const BatchItem &item : items) {
        if (!item.selected || item.kind != ListEntryKind::Image)
            continue;
        if (stopped())
            break;
        const PhotoFacts facts = readPhotoFacts(item.key);
        photos.append({QFileInfo(item.key).size(), facts.size, facts.carriesLocation});
    }
    return photos;
}

QString locationText(const QList<SurveyedPhoto> &photos, bool removed)
{
    const auto located =
        std::count_if(photos.begin(), photos.end(), [](const SurveyedPhoto &photo) { return photo.carriesLocation; });
    if (photos.isEmpty())
        return {};
    if (located == 0)
        return photos.size() == 1 ? QStringLiteral("The photo carries no GPS position.")
                                  : QStringLiteral("None of the %1 photos carries a GPS position.").arg(photos.size());
    return QStringLiteral("%1 of %2 photos %3 a GPS position: it will be %4")
        .arg(located)
        .arg(photos.size())
        .arg(located == 1 ? QStringLiteral("carries") : QStringLiteral("carry"),
             removed ? QStringLiteral("removed") : QStringLiteral("published"));
}

} // namespace tovin
