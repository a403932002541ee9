#pragma once

#include "albumlayout.h"
#include "batchjob.h"
#include "slidesize.h"

#include <QList>
#include <QString>

namespace tovin {

class SettingsStore;

// What the batch window keeps from one run of the program to the next: where
// the files go, the name they get, and the album's layout.
struct BatchSettings {
    QString destination;
    QString baseName;
    AlbumLayout layout;
    // "Fast reduction" (off unless chosen).
    bool fastReduction = false;
    // "Convert colours to sRGB" (off) and "Remove location and serial
    // numbers" (on unless turned off).
    bool convertToSrgb = false;
    bool removePrivateData = true;
    // The slides: the original files, or fitted within slideSide pixels
    // (kept as typed in its field).
    bool slidesFitted = false;
    QString slideSide = QString::number(kDefaultSlideSide);
};

// The first destination offered: the system's folder for passing files.
inline constexpr char kDefaultDestination[] = "/tmp";

// Missing values take their defaults.
BatchSettings loadBatchSettings(const SettingsStore &settings);
// The destination, name and slide side are stored as typed, the layout as
// saveAlbumLayout stores it, the choices as 1 or 0.
void saveBatchSettings(SettingsStore &settings, const BatchSettings &values);

// The run that the batch window and tovin-batch start: these settings, the
// chosen mode, the images of the list and the adjustments for the images the
// Record List does not know.
BatchRequest batchRequest(const BatchSettings &values, BatchMode mode, const QList<BatchItem> &items,
                          const MainAdjustments &adjustments);

} // namespace tovin
