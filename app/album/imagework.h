#pragma once

#include "imageengine.h"
#include "runtimeerror.h"

#include <QSize>
#include <QString>

#include <optional>

class QThreadPool;

namespace tovin {

// The part of one image's batch step that needs no user: scaling it, copying
// the original for the album's slides (or fitting it for them), or reading
// its size for an album that
// refers to images written earlier. Files go to temporary files beside their
// targets, written but not yet flushed to disk; the batch job has them
// flushed and puts them in place when the image's turn comes.
struct ImageWork {
    QString source;
    bool scales = false;
    QString scaledOutput;
    QString scaledTemporary;
    ScaleSettings settings;
    bool copiesSlide = false;
    // Above 0 the slide is made from the original with the scaling's
    // adjustments, to fit within this many pixels; otherwise it is a copy.
    int slideFitWithin = 0;
    QString slideOutput;
    QString slideTemporary;
    bool readsSize = false;
};

struct ImageWorkResult {
    bool scaled = false;
    // The source's size, from its header.
    QSize size;
    // The source cannot be used (not a regular file, unreadable, not
    // decodable): the image is passed over and named at the end of the run,
    // and none of its temporary files is kept.
    std::optional<QString> skipReason;
    // A file that could not be written: stops the run, after the scaled
    // image when that was written. It names the output, never the temporary
    // file.
    std::optional<RuntimeError> error;
};

// The free threads of `pool` share the image's resampling.
ImageWorkResult runImageWork(const ImageWork &work, QThreadPool *pool);

// Waits until the files runImageWork wrote are on the disk. Apart from it so
// that a worker starts on its next image while the disk catches up. A file
// that cannot be flushed counts as one that could not be written.
void flushImageWork(const ImageWork &work, ImageWorkResult &result);

} // namespace tovin
