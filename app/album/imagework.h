#pragma once

#include "imageengine.h"
#include "runtimeerror.h"

#include <QString>

#include <optional>

namespace tovin {

// The part of one image's batch step that needs no user: scaling it and
// copying the original for the album's slides. Both go to temporary files
// beside their targets; the batch job puts them in place in list order.
struct ImageWork {
    QString source;
    bool scales = false;
    QString scaledTemporary;
    ScaleSettings settings;
    bool copiesSlide = false;
    QString slideTemporary;
};

struct ImageWorkResult {
    bool scaled = false;
    // Reported by the scaling itself; the run goes on.
    std::optional<RuntimeError> scaleError;
    // Stops the run.
    std::optional<RuntimeError> slideError;
};

ImageWorkResult runImageWork(const ImageWork &work);

} // namespace tovin
