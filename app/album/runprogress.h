#pragma once

#include <QString>

#include <optional>

namespace tovin {

// What the batch window tells about a run under way: how many images are
// done, how long it has taken, and how long the rest may take at the pace
// so far.
struct RunProgress {
    int done = 0;
    int total = 0;
    qint64 elapsedMs = 0;

    // Nothing until the first image is done.
    std::optional<qint64> remainingMs() const;
    // "0:12 elapsed, about 0:30 left".
    QString timeText() const;
};

// "m:ss", or "h:mm:ss" from an hour on.
QString durationText(qint64 milliseconds);

} // namespace tovin
