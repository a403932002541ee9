#include "imageengine.h"

#include "bitmapwriter.h"
#include "encodedimagefile.h"
#include "errorreport.h"
#include "fastreduction.h"
#include "fileio.h"
#include "freeimagebitmap.h"
#include "idleworkers.h"
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
        && settings.contrast == 0 && settings.saveFlags == 0;
}

QSize sizeOf(FIBITMAP *image)
{
    return {int(FreeImage_GetWidth(image)), int(FreeImage_GetHeight(image))};
}

// A failed resampling leaves the image as it was, at its old size.
FIBITMAP *resampleTo(FIBITMAP *image, QSize target, bool releaseSource, std::int32_t filter, int threads = 1)
{
    FIBITMAP *resampled = resample(image, target.width(), target.height(), filter, {threads});
    if (!resampled)
        return image;
    if (releaseSource)
        FreeImage_Unload(image);
    return resampled;
}

bool resizes(const ScaleSettings &settings)
{
    return settings.widthPercent != 100 || settings.heightPercent != 100;
}

int decodeDenominator(EncodedImageFile &file, const ScaleSettings &settings)
{
    if (!settings.fastReduction || !resizes(settings))
        return 1;
    const QSize source = file.size(settings.format);
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

FIBITMAP *RescaleByPercent(FIBITMAP *image, double widthPercent, double heightPercent, bool releaseSource,
                           std::int32_t filter)
{
    const std::optional<QSize> target = rescaledSize(sizeOf(image), widthPercent, heightPercent);
    return target ? resampleTo(image, *target, releaseSource, filter) : image;
}

ScaleOutcome tryScaleImageFile(const QString &source, const QString &destination, const ScaleSettings &settings)
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
        DecodedJpeg decoded = file.decode(settings.format, denominator);
        Bitmap image = std::move(decoded.bitmap);
        if (!image) {
            outcome.skip = scaleSkipFor(decoded.failure);
            return outcome;
        }
        if (resizes(settings)) {
            // The target always comes from the picture's full size.
            const QSize source = denominator == 1 ? sizeOf(image.get()) : file.size(settings.format);
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
                    // The decoded handle owns its pixels: it is replaced, never
                    // released, and kept when resampling fails.
                    const IdleWorkers::Loan loan(settings.idleWorkers.get());
                    FIBITMAP *resampled = resampleTo(image.get(), *target, false, settings.filter,
                                                     settings.resampleThreads + loan.workers());
                    if (resampled != image.get())
                        image = Bitmap(resampled);
                }
            }
        }
        if (settings.brightness != 0)
            FreeImage_AdjustBrightness(image.get(), settings.brightness);
        if (settings.contrast != 0)
            FreeImage_AdjustContrast(image.get(), settings.contrast);
        outcome.written =
            saveBitmapReplacing(image.get(), settings.format, destination, settings.saveFlags, settings.writeMode);
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

bool ScaleImageFile(const QString &source, const QString &destination, double widthPercent, double heightPercent,
                    std::int32_t filter, std::int32_t saveFlags, std::int32_t format, double brightness,
                    double contrast, UserPrompts &prompts)
{
    const ScaleOutcome outcome = tryScaleImageFile(
        source, destination, {widthPercent, heightPercent, filter, saveFlags, format, brightness, contrast});
    if (outcome.error)
        showErrorReport(prompts, *outcome.error);
    return outcome.written;
}

QSize imageFileSize(const QString &path, std::int32_t format)
{
    return EncodedImageFile(path).size(format);
}

std::int32_t GetImageFileWidth(const QString &path, std::int32_t format)
{
    return imageFileSize(path, format).width();
}

std::int32_t GetImageFileHeight(const QString &path, std::int32_t format)
{
    return imageFileSize(path, format).height();
}

bool FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace tovin
