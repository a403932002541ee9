#include "bitmapcompare.h"

#include <QStringList>

#include <cstring>

namespace tovin::test {
namespace {

// Every tag of one metadata model, all its fields, sorted by key.
QStringList tagsOf(FIBITMAP *bitmap, FREE_IMAGE_MDMODEL model)
{
    QStringList tags;
    FITAG *tag = nullptr;
    FIMETADATA *walk = FreeImage_FindFirstMetadata(model, bitmap, &tag);
    for (bool more = walk != nullptr; more; more = FreeImage_FindNextMetadata(walk, &tag)) {
        const auto *value = static_cast<const char *>(FreeImage_GetTagValue(tag));
        tags << QStringLiteral("model %1 tag %2: id %3 type %4 count %5 value %6 description %7")
                    .arg(model)
                    .arg(FreeImage_GetTagKey(tag))
                    .arg(FreeImage_GetTagID(tag))
                    .arg(FreeImage_GetTagType(tag))
                    .arg(FreeImage_GetTagCount(tag))
                    .arg(QString::fromLatin1(QByteArray(value, value ? FreeImage_GetTagLength(tag) : 0).toHex()),
                         QString::fromUtf8(FreeImage_GetTagDescription(tag)));
    }
    FreeImage_FindCloseMetadata(walk);
    tags.sort();
    return tags;
}

} // namespace

QString bitmapDifference(FIBITMAP *expected, FIBITMAP *actual, bool withPadding)
{
    if (!expected || !actual)
        return expected || actual ? QStringLiteral("only one of the two is a bitmap") : QString();
    const auto same = [&](auto property) { return property(expected) == property(actual); };
    if (!same(FreeImage_GetWidth) || !same(FreeImage_GetHeight) || !same(FreeImage_GetBPP) || !same(FreeImage_GetPitch)
        || !same(FreeImage_GetImageType) || !same(FreeImage_GetColorType) || !same(FreeImage_GetRedMask)
        || !same(FreeImage_GetBlueMask) || !same(FreeImage_IsTransparent))
        return QStringLiteral("layout");
    if (!same(FreeImage_GetDotsPerMeterX) || !same(FreeImage_GetDotsPerMeterY))
        return QStringLiteral("density");
    const unsigned colours = FreeImage_GetColorsUsed(expected);
    if (!same(FreeImage_GetColorsUsed)
        || (colours && memcmp(FreeImage_GetPalette(expected), FreeImage_GetPalette(actual), colours * sizeof(RGBQUAD))))
        return QStringLiteral("palette");
    const unsigned rowBytes = withPadding ? FreeImage_GetPitch(expected) : FreeImage_GetLine(expected);
    for (unsigned y = 0; y < FreeImage_GetHeight(expected); ++y) {
        const BYTE *a = FreeImage_GetScanLine(expected, int(y));
        const BYTE *b = FreeImage_GetScanLine(actual, int(y));
        for (unsigned i = 0; i < rowBytes; ++i) {
            if (a[i] != b[i])
                return QStringLiteral("scanline %1 byte %2: %3 instead of %4").arg(y).arg(i).arg(b[i]).arg(a[i]);
        }
    }
    const FIICCPROFILE *expectedProfile = FreeImage_GetICCProfile(expected);
    const FIICCPROFILE *actualProfile = FreeImage_GetICCProfile(actual);
    if (expectedProfile->size != actualProfile->size || expectedProfile->flags != actualProfile->flags
        || (expectedProfile->size && memcmp(expectedProfile->data, actualProfile->data, expectedProfile->size)))
        return QStringLiteral("ICC profile");
    for (int model = FIMD_COMMENTS; model <= FIMD_EXIF_RAW; ++model) {
        const QStringList expectedTags = tagsOf(expected, FREE_IMAGE_MDMODEL(model));
        const QStringList actualTags = tagsOf(actual, FREE_IMAGE_MDMODEL(model));
        for (qsizetype i = 0; i < std::max(expectedTags.size(), actualTags.size()); ++i) {
            if (expectedTags.value(i) != actualTags.value(i))
                return actualTags.value(i, QStringLiteral("no tag")) + QStringLiteral(" instead of ")
                    + expectedTags.value(i, QStringLiteral("no tag"));
        }
    }
    if (const QString thumbnail = bitmapDifference(FreeImage_GetThumbnail(expected), FreeImage_GetThumbnail(actual));
        !thumbnail.isEmpty())
        return QStringLiteral("thumbnail: ") + thumbnail;
    return {};
}

} // namespace tovin::test
