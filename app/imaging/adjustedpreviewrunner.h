#pragma once

#include "imageengine.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

class QThreadPool;

namespace tovin {

// How an adjusted preview ended: the preview file written, or not (with the
// run-time error to report, if there was one, else why the photo was passed
// over).
struct AdjustedPreviewOutcome {
    bool written = false;
    std::optional<RuntimeError> error;
    ScaleSkip skip = ScaleSkip::None;
};

// Renders adjusted previews away from the window's thread, so the window
// keeps repainting while a large photo is decoded, resampled and encoded.
// Only the newest request counts: a newer one, or cancel(), makes every
// older result be dropped unseen. Each request writes a file of its own, and
// only the newest one's file becomes the preview file, so the preview file is
// never written by a request that no longer counts.
class AdjustedPreviewRunner : public QObject
{
    Q_OBJECT

public:
    explicit AdjustedPreviewRunner(QString previewFile, QObject *parent = nullptr);
    ~AdjustedPreviewRunner() override;

    const QString &previewFile() const { return m_previewFile; }

    void start(const QString &source, const ScaleSettings &settings);
    // Drops the result of whatever is running.
    void cancel();
    bool isBusy() const { return !m_pendingFiles.isEmpty(); }
    // Waits until no request is rendering any more.
    void waitForIdle();

signals:
    // Only for the newest request, on the thread that made the runner.
    void finished(const tovin::AdjustedPreviewOutcome &outcome);

private:
    void requestDone(std::uint64_t request, const QString &ownFile, const ScaleOutcome &outcome);

    QString m_previewFile;
    // One thread per core: a request runs on one, and the free ones share its
    // resampling.
    std::unique_ptr<QThreadPool> m_pool;
    std::shared_ptr<std::atomic<std::uint64_t>> m_newest;
    // The own files of the requests whose result has not come back yet.
    QSet<QString> m_pendingFiles;
};

} // namespace tovin

Q_DECLARE_METATYPE(tovin::AdjustedPreviewOutcome)
