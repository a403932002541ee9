#include "shownpicture.h"

#include "encodedimagefile.h"
#include "fastreduction.h"
#include "memorybudget.h"

#include <FreeImage.h>

#include <QTransform>

#include <algorithm>
#include <cmath>

namespace tovin {
namespace {

// The bitmap's rows as a picture that borrows its pixels: last row first, as
// the bitmap keeps them, so the picture is upside down. Null for a pixel
// layout that is neither grey nor colour.
QImage upsideDownView(FIBITMAP *bitmap)
{
    const unsigned bits = FreeImage_GetBPP(bitmap);
    if (bits != 8 && bits != 24)
        return {};
    return QImage(FreeImage_GetBits(bitmap), int(FreeImage_GetWidth(bitmap)), int(FreeImage_GetHeight(bitmap)),
                  qsizetype(FreeImage_GetPitch(bitmap)), bits == 8 ? QImage::Format_Grayscale8 : QImage::Format_BGR888);
}

int exifOrientation(FIBITMAP *bitmap)
{
    FITAG *tag = nullptr;
    if (!FreeImage_GetMetadata(FIMD_EXIF_MAIN, bitmap, "Orientation", &tag) || !tag
        || FreeImage_GetTagType(tag) != FIDT_SHORT || FreeImage_GetTagCount(tag) != 1)
        return 1;
    return *static_cast<const WORD *>(FreeImage_GetTagValue(tag));
}

// Turns an upside-down picture upright by the EXIF orientation (1 as stored;
// 2 mirrored; 3 turned half round; 4 flipped; 5 flipped and turned a quarter
// clockwise; 6 turned a quarter clockwise; 7 mirrored and turned a quarter
// clockwise; 8 turned a quarter anticlockwise). Mirroring is done in place.
QImage upright(QImage upsideDown, int orientation)
{
    const bool mirror = orientation == 2 || orientation == 3 || orientation == 7;
    const bool flip = orientation == 3 || orientation == 4 || orientation == 5;
    // The rows come last first: one more flip.
    QImage image = std::move(upsideDown).mirrored(mirror, !flip);
    if (orientation >= 5 && orientation <= 8)
        image = image.transformed(QTransform().rotate(orientation == 8 ? 270 : 90));
    return image;
}

} // namespace

ShownPicture decodePictureToShow(const QString &path, double zoomPercent)
{
    EncodedImageFile file(path);
    if (!file.isReadable())
        return {{}, ScaleSkip::SourceUnreadable};
    // Held to the budget whole, even when reduced: what the window shows
    // reduced, it can show at full size too.
    const QSize stored = file.size();
    if (!stored.isEmpty() && !fitsBitmapBudget(stored.width(), stored.height(), 32))
        return {{}, ScaleSkip::TooLargeToDecode};
    std::optional<QSize> reduced;
    if (zoomPercent < 100 && !stored.isEmpty())
        reduced = QSize(std::max(1, int(std::lround(stored.width() * zoomPercent / 100))),
                        std::max(1, int(std::lround(stored.height() * zoomPercent / 100))));
    DecodedJpeg decoded = file.decode(reduced ? fastDecodeDenominator(stored, *reduced) : 1);
    if (!decoded.bitmap)
        return {{}, scaleSkipFor(decoded.failure)};
    FIBITMAP *bitmap = decoded.bitmap.get();
    const QImage view = upsideDownView(bitmap);
    if (view.isNull())
        return {{}, ScaleSkip::NotDecodable};
    QImage image = view.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return {{}, ScaleSkip::TooLargeToDecode};
    const int orientation = exifOrientation(bitmap);
    // The picture has pixels of its own now; the bitmap's are not kept
    // through the turning.
    decoded.bitmap.reset();
    // The reduced size is that of the picture as stored: turning it upright
    // comes after.
    if (reduced && image.size() != *reduced)
        image = image.scaled(*reduced, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {upright(std::move(image), orientation), ScaleSkip::None};
}

} // namespace tovin
