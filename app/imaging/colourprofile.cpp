#include "colourprofile.h"

#include "jpegsegments.h"

#include <FreeImage.h>
#include <lcms2.h>

#include <QMap>

#include <array>
#include <memory>

namespace tovin {
namespace {

// Where a profile's header names the colour space of the pixels it describes.
constexpr int kColourSpaceAt = 16;

struct ProfileClose {
    void operator()(void *profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileClose>;

struct TransformDelete {
    void operator()(void *transform) const { cmsDeleteTransform(transform); }
};

Profile openProfile(const QByteArray &bytes)
{
    return Profile(bytes.isEmpty() ? nullptr : cmsOpenProfileFromMem(bytes.constData(), cmsUInt32Number(bytes.size())));
}

// Little CMS's own sRGB, under the standard's name. Its creation date is
// fixed, so that one picture always gives the same bytes.
const QByteArray &srgbProfile()
{
    static const QByteArray bytes = [] {
        Profile profile(cmsCreate_sRGBProfile());
        cmsMLU *name = cmsMLUalloc(nullptr, 1);
        cmsMLUsetASCII(name, "en", "US", "sRGB IEC61966-2.1");
        cmsWriteTag(profile.get(), cmsSigProfileDescriptionTag, name);
        cmsMLUfree(name);
        cmsUInt32Number size = 0;
        cmsSaveProfileToMem(profile.get(), nullptr, &size);
        QByteArray saved(qsizetype(size), Qt::Uninitialized);
        cmsSaveProfileToMem(profile.get(), saved.data(), &size);
        constexpr int kDateAt = 24;
        const std::array<char, 12> firstOf2024{0x07, char(0xE8), 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
        saved.replace(kDateAt, qsizetype(firstOf2024.size()), firstOf2024.data(), qsizetype(firstOf2024.size()));
        return saved;
    }();
    return bytes;
}

bool isColour(FIBITMAP *picture)
{
    return FreeImage_GetImageType(picture) == FIT_BITMAP && FreeImage_GetBPP(picture) == 24;
}

// A profile made for other pixels would give these wrong colours: one whose
// header names another of the spaces a JPEG's pixels can be in. Other bytes
// are kept as the source has them.
bool describes(const QByteArray &profile, FIBITMAP *picture)
{
    const QByteArray space = profile.mid(kColourSpaceAt, 4);
    const QByteArray own = isColour(picture) ? "RGB " : "GRAY";
    return space == own || !(space == "RGB " || space == "GRAY" || space == "CMYK");
}

void attach(FIBITMAP *picture, const QByteArray &profile)
{
    FreeImage_DestroyICCProfile(picture);
    if (!profile.isEmpty())
        FreeImage_CreateICCProfile(picture, const_cast<char *>(profile.constData()), long(profile.size()));
}

// Converts the rows in place; false when Little CMS cannot use the profile.
bool convertPixels(FIBITMAP *picture, const QByteArray &profile)
{
    const Profile source = openProfile(profile);
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!source || !srgb || cmsGetColorSpace(source.get()) != cmsSigRgbData)
        return false;
    const std::unique_ptr<void, TransformDelete> transform(
        cmsCreateTransform(source.get(), TYPE_BGR_8, srgb.get(), TYPE_BGR_8, INTENT_PERCEPTUAL, 0));
    if (!transform)
        return false;
    const cmsUInt32Number width = FreeImage_GetWidth(picture);
    const cmsUInt32Number height = FreeImage_GetHeight(picture);
    const cmsUInt32Number pitch = FreeImage_GetPitch(picture);
    BYTE *pixels = FreeImage_GetBits(picture);
    cmsDoTransformLineStride(transform.get(), pixels, pixels, width, height, pitch, pitch, 0, 0);
    return true;
}

} // namespace

QByteArray iccProfileOf(const QList<JpegSegment> &segments)
{
    QMap<int, QByteArray> pieces;
    int count = 0;
    for (const JpegSegment &segment : segments) {
        if (segment.marker != kApp2 || !segment.data.startsWith(kIccSignature) || segment.data.size() < 14)
            continue;
        const int number = uchar(segment.data[12]);
        count = uchar(segment.data[13]);
        pieces.insert(number, segment.data.sliced(14));
    }
    if (count == 0 || pieces.size() != count || pieces.firstKey() != 1 || pieces.lastKey() != count)
        return {};
    QByteArray profile;
    for (const QByteArray &piece : std::as_const(pieces))
        profile += piece;
    return profile;
}

std::optional<QString> colourProfileName(const QByteArray &profile)
{
    const Profile opened = openProfile(profile);
    if (!opened)
        return std::nullopt;
    std::array<char, 256> name{};
    cmsGetProfileInfoASCII(opened.get(), cmsInfoDescription, "en", "US", name.data(), cmsUInt32Number(name.size()));
    // Some programs write control characters into it.
    QString printable = QString::fromLatin1(name.data());
    printable.removeIf([](QChar c) { return !c.isPrint(); });
    return printable.trimmed();
}

QByteArray attachedColourProfile(FIBITMAP *picture)
{
    const FIICCPROFILE *profile = FreeImage_GetICCProfile(picture);
    if (!profile || !profile->data || profile->size <= 0)
        return {};
    return QByteArray(static_cast<const char *>(profile->data), qsizetype(profile->size));
}

void settleColourProfile(FIBITMAP *picture, const QByteArray &sourceProfile, bool toSrgb)
{
    if (sourceProfile.isEmpty() || !describes(sourceProfile, picture)) {
        attach(picture, {});
        return;
    }
    if (toSrgb && isColour(picture) && convertPixels(picture, sourceProfile)) {
        attach(picture, srgbProfile());
        return;
    }
    if (attachedColourProfile(picture) != sourceProfile)
        attach(picture, sourceProfile);
}

} // namespace tovin
