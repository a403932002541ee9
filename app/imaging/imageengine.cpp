#include "imageengine.h"

#include "bitmapwriter.h"
#include "encodedimagefile.h"
#include "fastreduction.h"
#include "fileio.h"
#include "freeimagebitmap.h"
#include "memorybudget.h"
#include "numbertext.h"
#include "resampler.h"

#include <tovin/numeric.h>

#include <QFileInfo>

namespace tovin {
namespace {

bool isPlainCopy(const ScaleSettings &settings)
{
    return settings.widthPercent == 100 && settings.heightPercent == 100 && settings.brightness == 0
        && settings.contrast == 0 && settings.output.keepsSourceBytes();
}

QSize sizeOf(FIBITMAP *image)
{
    return {int(FreeImage_GetWidth(image)), int(FreeImage_GetHeight(image))};
}

bool resizes(const ScaleSettings &settings)
{
    return settings.widthPercent != 100 || settings.heightPercent != 100;
}

int decodeDenominator(EncodedImageFile &file, const ScaleSettings &settings)
{
    if (!settings.fastReduction || !resizes(settings))
        return 1;
    const QSize source = file.size();
    const std::optional<QSize> target = rescaledSize(source, settings.widthPercent, settings.heightPercent);
    return target ? fastDecodeDenominator(source, *target) : 1;
}

} // namespace

std::optional<QSize> rescaledSize(QSize size, double widthPercent, double heightPercent)
{
    const double width = size.width();
    const double height = size.height();
    // Rounded twice on purpose, first the product and then the quotient.
    double newWidth = roundHalfEven(roundHalfEven(width * widthPercent) / 100);
    double newHeight = roundHalfEven(roundHalfEven(height * heightPercent) / 100);
    if (newWidth < 1 && newHeight >= 1)
        newWidth = roundHalfEven(width / height * newHeight);
    else if (newHeight < 1 && newWidth >= 1)
        newHeight = roundHalfEven(newWidth / (width / height));
    // A side that still comes to 0 is no size to resample to: the library
    // would refuse it and the picture would keep its own size.
    if (newWidth < 1 || newHeight < 1)
        return std::nullopt;
    return QSize(toInt32(newWidth), toInt32(newHeight));
}

ScaleOutcome ScaleImageFile(const QString &source, const QString &destination, const ScaleSettings &settings,
                            QThreadPool *pool)
{
    ScaleOutcome outcome;
    try {
        // A plain copy needs no pixels: the copy below is the whole result.
        if (isPlainCopy(settings)) {
            copyFileReplacing(source, destination, settings.writeMode);
            outcome.written = true;
            return outcome;
        }

        EncodedImageFile file(source);
        if (!file.isReadable()) {
            outcome.skip = ScaleSkip::SourceUnreadable;
            return outcome;
        }
        const int denominator = decodeDenominator(file, settings);
        DecodedJpeg decoded = file.decode(denominator);
        Bitmap image = std::move(decoded.bitmap);
        if (!image) {
            outcome.skip = scaleSkipFor(decoded.failure);
            return outcome;
        }
        if (resizes(settings)) {
            // The target always comes from the picture's full size.
            const QSize source = denominator == 1 ? sizeOf(image.get()) : file.size();
            const std::optional<QSize> target = rescaledSize(source, settings.widthPercent, settings.heightPercent);
            if (target) {
                // Refused before any memory is asked for.
                if (!fitsBitmapBudget(target->width(), target->height(), int(FreeImage_GetBPP(image.get())))) {
                    outcome.skip = ScaleSkip::TooLargeToEnlarge;
                    return outcome;
                }
                // A picture the decoder already shrank to the target needs
                // no further filtering.
                if (denominator == 1 || sizeOf(image.get()) != *target) {
                    // A failed resampling leaves the image as it was, at its
                    // old size.
                    if (FIBITMAP *resampled =
                            resample(image.get(), target->width(), target->height(), settings.filter, {pool}))
                        image = Bitmap(resampled);
                }
            }
        }
        if (settings.brightness != 0)
            FreeImage_AdjustBrightness(image.get(), settings.brightness);
        if (settings.contrast != 0)
            FreeImage_AdjustContrast(image.get(), settings.contrast);
        outcome.written = saveBitmapReplacing(image.get(), settings.output, destination, settings.writeMode);
        if (!outcome.written)
            outcome.skip = ScaleSkip::NotSaved;
    } catch (const RuntimeError &error) {
        outcome.written = false;
        outcome.error = error;
    }
    return outcome;
}

ScaleSkip scaleSkipFor(DecodeFailure failure)
{
    return failure == DecodeFailure::TooLarge ? ScaleSkip::TooLargeToDecode : ScaleSkip::NotDecodable;
}

QString scaleSkipText(ScaleSkip skip)
{
    switch (skip) {
    case ScaleSkip::None:
        break;
    case ScaleSkip::SourceUnreadable:
        return QStringLiteral("cannot be read");
    case ScaleSkip::NotDecodable:
        return QStringLiteral("cannot be read or decoded");
    case ScaleSkip::TooLargeToDecode:
        return QStringLiteral("too large to decode in the memory allowed for one image");
    case ScaleSkip::TooLargeToEnlarge:
        return QStringLiteral("the enlarged picture would not fit in the memory allowed for one image");
    case ScaleSkip::NotSaved:
        return QStringLiteral("the scaled picture could not be encoded");
    }
    return {};
}

QSize imageFileSize(const QString &path)
{
    return EncodedImageFile(path).size();
}

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace tovin
