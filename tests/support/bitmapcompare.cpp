#include "bitmapcompare.h"

#include <cstring>

namespace tovin::test {
namespace {

QString tagDifference(FREE_IMAGE_MDMODEL model, FITAG *expected, FITAG *actual)
{
    const QString where = QStringLiteral("model %1 tag %2: ").arg(model).arg(FreeImage_GetTagKey(expected));
    if (!actual)
        return where + QStringLiteral("missing");
    const auto same = [&](auto property) { return property(expected) == property(actual); };
    if (!same(FreeImage_GetTagID) || !same(FreeImage_GetTagType) || !same(FreeImage_GetTagCount)
        || !same(FreeImage_GetTagLength))
        return where + QStringLiteral("differs in id, type, count or length");
    const auto value = [length = FreeImage_GetTagLength(expected)](FITAG *tag) {
        const auto *bytes = static_cast<const char *>(FreeImage_GetTagValue(tag));
        return QByteArray(bytes, bytes ? qsizetype(length) : 0);
    };
    if (!same(value))
        return where + QStringLiteral("value differs");
    if (!same([](FITAG *tag) { return QByteArray(FreeImage_GetTagDescription(tag)); }))
        return where + QStringLiteral("description differs");
    return {};
}

QString metadataDifference(FIBITMAP *expected, FIBITMAP *actual)
{
    for (int model = FIMD_COMMENTS; model <= FIMD_EXIF_RAW; ++model) {
        const auto typed = FREE_IMAGE_MDMODEL(model);
        if (FreeImage_GetMetadataCount(typed, expected) != FreeImage_GetMetadataCount(typed, actual))
            return QStringLiteral("model %1: tag count").arg(model);
        FITAG *tag = nullptr;
        FIMETADATA *walk = FreeImage_FindFirstMetadata(typed, expected, &tag);
        QString difference;
        if (walk) {
            do {
                FITAG *ours = nullptr;
                FreeImage_GetMetadata(typed, actual, FreeImage_GetTagKey(tag), &ours);
                difference = tagDifference(typed, tag, ours);
            } while (difference.isEmpty() && FreeImage_FindNextMetadata(walk, &tag));
            FreeImage_FindCloseMetadata(walk);
        }
        if (!difference.isEmpty())
            return difference;
    }
    return {};
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
    if (const QString metadata = metadataDifference(expected, actual); !metadata.isEmpty())
        return metadata;
    if (const QString thumbnail = bitmapDifference(FreeImage_GetThumbnail(expected), FreeImage_GetThumbnail(actual));
        !thumbnail.isEmpty())
        return QStringLiteral("thumbnail: ") + thumbnail;
    return {};
}

} // namespace tovin::test
