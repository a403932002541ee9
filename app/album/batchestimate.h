#pragma once

#include "batchjob.h"
#include "photosurvey.h"

#include <QList>
#include <QString>

#include <optional>

namespace tovin {

// What a run is about to take and give: the images it will take, what their
// originals weigh, and, once some are written, what the whole output should
// weigh at the rate so far.
struct BatchEstimate {
    int images = 0;
    qint64 originalBytes = 0;
    std::optional<qint64> projectedBytes;
    // The projection is of an album (thumbnails and slides).
    bool album = false;

    // "3 images, 1.2 MB" and, once known, "; output about 300.5 KB" (or
    // "album about").
    QString text() const;
};

BatchEstimate estimateBatch(const QList<BatchItem> &items);

// The projection before a run, from the photos' headers: each scaled image,
// and each fitted slide, weighs what its pixels weighed in the original;
// copied slides weigh the originals. An album that only refers to the images
// writes none. Scaled with the main window's percentages.
void projectFromPhotos(BatchEstimate &estimate, const QList<SurveyedPhoto> &photos, const BatchRequest &request);

// The projection once `done` of the images gave `writtenBytes` of output.
void projectOutput(BatchEstimate &estimate, int done, qint64 writtenBytes);

} // namespace tovin
