#pragma once

#include "imageengine.h"
#include "runtimeerror.h"

#include <QSize>
#include <QString>

#include <optional>

namespace tovin {

// The part of one image's batch step that needs no user: scaling it, copying
// the original for the album's slides, or reading its size for an album that
// refers to images written earlier. Files go to temporary files beside their
// targets; the batch job puts them in place when the image's turn comes.
struct ImageWork {
    QString source;
    bool scales = false;
    QString scaledOutput;
    QString scaledTemporary;
    ScaleSettings settings;
    bool copiesSlide = false;
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

ImageWorkResult runImageWork(const ImageWork &work);

} // namespace tovin
