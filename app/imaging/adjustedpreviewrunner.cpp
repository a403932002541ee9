#include "adjustedpreviewrunner.h"

#include <QFile>
#include <QMetaObject>
#include <QThreadPool>

#include <cerrno>
#include <cstdio>

namespace tovin {

AdjustedPreviewRunner::AdjustedPreviewRunner(QString previewFile, QObject *parent)
    : QObject(parent)
    , m_previewFile(std::move(previewFile))
    , m_pool(std::make_unique<QThreadPool>())
    , m_newest(std::make_shared<std::atomic<std::uint64_t>>(0))
{
}

AdjustedPreviewRunner::~AdjustedPreviewRunner()
{
    cancel();
    m_pool->waitForDone();
    // Results that were on their way to this runner are never delivered.
    for (const QString &file : std::as_const(m_pendingFiles))
        QFile::remove(file);
}

void AdjustedPreviewRunner::start(const QString &source, const ScaleSettings &settings)
{
    const std::uint64_t request = ++*m_newest;
    const QString ownFile = m_previewFile + QStringLiteral(".%1.part").arg(request);
    m_pendingFiles.insert(ownFile);
    std::shared_ptr<std::atomic<std::uint64_t>> newest = m_newest;
    // The destructor waits for the pool, so the runner outlives every task.
    m_pool->start([=, this] {
        ScaleOutcome outcome;
        // A request overtaken before it began is not worth the work.
        if (newest->load() == request)
            outcome = ScaleImageFile(source, ownFile, settings, m_pool.get());
        QMetaObject::invokeMethod(
            this, [=, this] { requestDone(request, ownFile, outcome); }, Qt::QueuedConnection);
    });
}

void AdjustedPreviewRunner::cancel()
{
    ++*m_newest;
}

void AdjustedPreviewRunner::waitForIdle()
{
    m_pool->waitForDone();
}

void AdjustedPreviewRunner::requestDone(std::uint64_t request, const QString &ownFile, const ScaleOutcome &outcome)
{
    m_pendingFiles.remove(ownFile);
    if (request != m_newest->load()) {
        QFile::remove(ownFile);
        return;
    }
    AdjustedPreviewOutcome result{outcome.written, outcome.error, outcome.skip};
    if (outcome.written) {
        // rename() replaces the old preview in one step.
        if (std::rename(QFile::encodeName(ownFile).constData(), QFile::encodeName(m_previewFile).constData()) != 0) {
            result.written = false;
            result.error = RuntimeError::fromErrno(errno, m_previewFile);
            QFile::remove(ownFile);
        }
    } else {
        QFile::remove(ownFile);
    }
    emit finished(result);
}

} // namespace tovin
