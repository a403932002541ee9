#pragma once

#include "batchjob.h"

#include <QList>
#include <QSize>
#include <QString>

#include <functional>

namespace tovin {

// One selected photo as the batch window sees it before a run: what its
// header tells, read without decoding.
struct SurveyedPhoto {
    qint64 bytes = 0;
    QSize size; // 0 x 0 when no picture can be read
    bool carriesLocation = false;
};

// The selected images of the list, in list order. Reads every header, so it
// runs away from the window's thread; it stops early, with what it has,
// once `stopped` answers true.
QList<SurveyedPhoto> surveyPhotos(const QList<BatchItem> &items, const std::function<bool()> &stopped);

// "12 of 40 photos carry a GPS position: it will be removed" (or
// "published"), or that none does.
QString locationText(const QList<SurveyedPhoto> &photos, bool removed);

} // namespace tovin
