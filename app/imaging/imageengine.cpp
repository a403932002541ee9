#include "imageengine.h"

#include "bitmapwriter.h"
#include "colourprofile.h"
#include "encodedimagefile.h"
#include "fastreduction.h"
#include "fileio.h"
#include "freeimagebitmap.h"
#include "memorybudget.h"
#include "numbertext.h"
#include "privatemetadata.h"
#include "resampler.h"

#include <tovin/numeric.h>

#include <QFileInfo>

#include <new>

namespace tovin {
namespace {

bool resizes(const ScaleSettings &settings)
{
    return settings.fitWithin > 0 || settings.widthPercent != 100 || settings.heightPercent != 100;
}

// The size a picture of this size is resampled to, or nothing when it keeps
// its size.
std::optional<QSize> targetSize(QSize source, const ScaleSettings &settings)
{
    if (settings.fitWithin > 0) {
        const QSize fitted = fittedSize(source, settings.fitWithin);
        return fitted == source ? std::nullopt : std::optional(fitted);
    }
    return resizes(settings) ? rescaledSize(source, settings.widthPercent, settings.heightPercent) : std::nullopt;
}

// The source's size is asked for only where a fit depends on it.
template<typename SourceSize> bool isPlainCopy(const ScaleSettings &settings, SourceSize sourceSize)
{
    if (settings.brightness != 0 || settings.contrast != 0 || !settings.output.keepsSourceBytes())
        return false;
    if (settings.fitWithin > 0)
        return !targetSize(sourceSize(), settings);
    return !resizes(settings);
}

// A copy keeps the image data byte for byte, also where only its metadata
// is rewritten.
ScaleOutcome copyImageFile(const QString &source, const QString &destination, const ScaleSettings &settings)
{
    ScaleOutcome outcome;
    if (!settings.removePrivateData) {
        copyFileReplacing(source, destination, settings.writeMode);
        outcome.written = true;
    } else {
        outcome.written = copyFileThrough(source, destination, settings.writeMode, copyWithoutPrivateMetadata);
        if (!outcome.written)
            outcome.skip = ScaleSkip::MetadataUnreadable;
    }
    return outcome;
}

// Encodes the picture and writes it, without private data when asked.
ScaleSkip save(FIBITMAP *image, const QString &destination, const ScaleSettings &settings)
{
    std::optional<QByteArray> encoded = encodeBitmap(image, settings.output);
    if (!encoded)
        return ScaleSkip::NotSaved;
    if (settings.removePrivateData) {
        encoded = withoutPrivateMetadata(*encoded);
        if (!encoded)
            return ScaleSkip::MetadataUnreadable;
    }
    writeFileReplacing(destination, *encoded, settings.writeMode);
    return ScaleSkip::None;
}

QSize sizeOf(FIBITMAP *image)
{
    return {int(FreeImage_GetWidth(image)), int(FreeImage_GetHeight(image))};
}

int decodeDenominator(EncodedImageFile &file, const ScaleSettings &settings)
{
    if (!settings.fastReduction || !resizes(settings))
        return 1;
    const QSize source = file.size();
    const std::optional<QSize> target = targetSize(source, settings);
    return target ? fastDecodeDenominator(source, *target) : 1;
}

// The source decoded at one scale, for the outputs that decode it alike.
struct DecodedSource {
    int denominator = 0; // 0 before the first decode
    Bitmap picture;
    // Resampling leaves the profile behind; it is attached again at the end.
    QByteArray profile;
    ScaleSkip failure = ScaleSkip::None;
};

void decodeFor(EncodedImageFile &file, const ScaleSettings &settings, DecodedSource &decoded)
{
    const int denominator = decodeDenominator(file, settings);
    if (decoded.denominator == denominator)
        return;
    decoded.picture.reset();
    DecodedJpeg result = file.decode(denominator);
    decoded.denominator = denominator;
    decoded.picture = std::move(result.bitmap);
    decoded.failure = decoded.picture ? ScaleSkip::None : scaleSkipFor(result.failure);
    decoded.profile = decoded.picture ? attachedColourProfile(decoded.picture.get()) : QByteArray();
}

// One output made from the decoded picture, which is left as it is for the
// outputs after it; the last one may take it instead of a copy.
ScaleSkip writeOutput(DecodedSource &decoded, EncodedImageFile &file, const QString &destination,
                      const ScaleSettings &settings, bool takesPicture, QThreadPool *pool)
{
    FIBITMAP *picture = decoded.picture.get();
    Bitmap image;
    // The target always comes from the picture's full size.
    const QSize fullSize = decoded.denominator == 1 ? sizeOf(picture) : file.size();
    if (const std::optional<QSize> target = targetSize(fullSize, settings)) {
        // Refused before any memory is asked for.
        if (!fitsBitmapBudget(target->width(), target->height(), int(FreeImage_GetBPP(picture))))
            return ScaleSkip::TooLargeToEnlarge;
        // A picture the decoder already shrank to the target needs no
        // further filtering; a failed resampling leaves the picture as it
        // was, at its old size.
        if (decoded.denominator == 1 || sizeOf(picture) != *target)
            image = Bitmap(resample(picture, target->width(), target->height(), settings.filter, {pool}));
    }
    if (!image && takesPicture) {
        image = std::move(decoded.picture);
        decoded.denominator = 0;
    } else if (!image) {
        image = Bitmap(FreeImage_Clone(picture));
        if (!image)
            throw std::bad_alloc();
    }
    if (settings.brightness != 0)
        FreeImage_AdjustBrightness(image.get(), settings.brightness);
    if (settings.contrast != 0)
        FreeImage_AdjustContrast(image.get(), settings.contrast);
    settleColourProfile(image.get(), decoded.profile, settings.convertToSrgb);
    return save(image.get(), destination, settings);
}

} // namespace

QSize fittedSize(QSize size, int side)
{
    const int longest = std::max(size.width(), size.height());
    if (longest <= side)
        return size;
    const auto fitted = [&](int length) { return std::max(1, toInt32(double(length) * side / longest)); };
    return {fitted(size.width()), fitted(size.height())};
}

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
    return scaleImageFiles(source, {{destination, settings}}, pool).front();
}

QList<ScaleOutcome> scaleImageFiles(const QString &source, const QList<ScaleOutput> &outputs, QThreadPool *pool)
{
    // Opened once, for the first output that needs the size or the pixels.
    std::optional<EncodedImageFile> file;
    const auto sourceFile = [&]() -> EncodedImageFile & {
        if (!file)
            file.emplace(source);
        return *file;
    };
    QList<bool> decodes;
    for (const ScaleOutput &output : outputs)
        decodes.append(!isPlainCopy(output.settings, [&] { return sourceFile().size(); }));
    // The last output that needs pixels takes the decoded picture itself.
    const qsizetype lastDecoding = decodes.lastIndexOf(true);
    DecodedSource decoded;
    QList<ScaleOutcome> outcomes;
    for (qsizetype index = 0; index < outputs.size(); ++index) {
        const auto &[destination, settings] = outputs[index];
        ScaleOutcome &outcome = outcomes.emplace_back();
        try {
            // A plain copy needs no pixels: the copy is the whole result.
            if (!decodes[index]) {
                outcome = copyImageFile(source, destination, settings);
                continue;
            }
            EncodedImageFile &opened = sourceFile();
            if (!opened.isReadable()) {
                outcome.skip = ScaleSkip::SourceUnreadable;
                continue;
            }
            decodeFor(opened, settings, decoded);
            outcome.skip = decoded.picture
                ? writeOutput(decoded, opened, destination, settings, index == lastDecoding, pool)
                : decoded.failure;
            outcome.written = outcome.skip == ScaleSkip::None;
        } catch (const RuntimeError &error) {
            outcome.written = false;
            outcome.skip = ScaleSkip::None;
            outcome.error = error;
        }
    }
    return outcomes;
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
    case ScaleSkip::MetadataUnreadable:
        return QStringLiteral("its metadata cannot be read, so its location and serial numbers cannot be removed");
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
