#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

#include "fileio.h"
#include "outputformat.h"
#include "runtimeerror.h"

class QThreadPool;

namespace tovin {

struct ScaleSettings {
    double widthPercent = 100;
    double heightPercent = 100;
    std::int32_t filter = 1;
    OutputFormat output;
    double brightness = 0;
    double contrast = 0;
    // How the output file is written.
    WriteMode writeMode = WriteMode::Replace;
    // Reductions decode the JPEG at 1/2, 1/4 or 1/8 of its size first, never
    // below the target, and resample only the rest: much faster, close to
    // but not the same pixels. The size and everything else stay the same.
    bool fastReduction = false;
    // Above 0: the picture is reduced to fit within this many pixels on each
    // side, never enlarged, in place of the percentages.
    int fitWithin = 0;
    // Colour pixels are converted from their embedded profile to sRGB and
    // tagged sRGB; otherwise they keep the profile they came with.
    bool convertToSrgb = false;
    // What is written tells no location, serial number, owner or maker notes
    // and holds no thumbnail (see privatemetadata.h).
    bool removePrivateData = false;
};

// Why an image was not written, when no run-time error says so.
enum class ScaleSkip {
    None,
    SourceUnreadable,
    NotDecodable,
    TooLargeToDecode,
    TooLargeToEnlarge,
    NotSaved,
    MetadataUnreadable,
};

struct ScaleOutcome {
    bool written = false;
    // A run-time error that the caller must report (a failed copy, say).
    std::optional<RuntimeError> error;
    // Set whenever nothing was written and there is no error.
    ScaleSkip skip = ScaleSkip::None;
};

// The reason in words, for a list of skipped images ("photo.jpg: ...").
QString scaleSkipText(ScaleSkip skip);

enum class DecodeFailure;

// Why a picture that failed to decode is passed over.
ScaleSkip scaleSkipFor(DecodeFailure failure);

// Loads one JPEG image, applies the adjustments (resampling, then
// brightness, then contrast) and writes it in the output format. With no
// adjustment at all and a JPEG output with save flags 0 the file is copied
// byte for byte instead, so it keeps its exact bytes (its metadata alone
// rewritten, when private data is removed). The destination is replaced only
// by a complete file. Reports nothing and may run on any thread; the free
// threads of `pool`, if given, share the resampling.
ScaleOutcome ScaleImageFile(const QString &source, const QString &destination, const ScaleSettings &settings,
                            QThreadPool *pool = nullptr);

// The same for several outputs of one source, each with its settings,
// written in order: the source is decoded once for the outputs that decode
// it alike, and each gets the pixels it would get alone.
struct ScaleOutput {
    QString destination;
    ScaleSettings settings;
};
QList<ScaleOutcome> scaleImageFiles(const QString &source, const QList<ScaleOutput> &outputs,
                                    QThreadPool *pool = nullptr);

// The size an image of the given size is resampled to, or nothing when a
// side comes to 0 pixels (the image then keeps its size).
std::optional<QSize> rescaledSize(QSize size, double widthPercent, double heightPercent);

// The size that fits within side x side pixels, proportions kept and each
// side rounded, never below one pixel; the size itself when it fits already,
// as a picture is never enlarged to fit.
QSize fittedSize(QSize size, int side);

// Pixel size of an image file as its header states it, however large; 0 x 0
// when the file cannot be read, is not a JPEG, or is too short to hold the
// picture it claims.
QSize imageFileSize(const QString &path);

// True when the path names an existing ordinary file (not a folder).
bool FileExists(const QString &path);

} // namespace tovin
