#include "photofacts.h"

#include "colourprofile.h"
#include "imageengine.h"
#include "jpegsegments.h"
#include "privatemetadata.h"

#include <QFile>

namespace tovin {

PhotoFacts readPhotoFacts(const QString &path)
{
    PhotoFacts facts;
    facts.size = imageFileSize(path);
    QFile file(path);
    if (facts.size.isEmpty() || !file.open(QIODevice::ReadOnly))
        return facts;
    if (const std::optional<QList<JpegSegment>> segments = readJpegSegments(file)) {
        facts.colourProfile = iccProfileOf(*segments);
        facts.carriesLocation = carriesLocation(*segments);
    }
    return facts;
}

} // namespace tovin
