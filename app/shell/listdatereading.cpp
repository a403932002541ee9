#include "listdatereading.h"

#include "capturedate.h"

#include <QLocale>
#include <QtConcurrent/QtConcurrentMap>

namespace tovin {

constexpr qint64 kSignalIntervalMs = 100;

ListDateReading::ListDateReading(QObject *parent)
    : QObject(parent)
{
}

ListDateReading::~ListDateReading()
{
    stop();
}

void ListDateReading::start(const QStringList &paths)
{
    stop();
    m_paths = paths;
    m_texts.clear();
    m_sinceSignal.invalidate();
    auto *watcher = new QFutureWatcher<QString>(this);
    m_watcher = watcher;
    connect(watcher, &QFutureWatcher<QString>::resultsReadyAt, this, [this, watcher](int begin, int end) {
        for (int index = begin; index < end; ++index)
            m_texts.insert(m_paths.at(index), watcher->resultAt(index));
        if (!m_sinceSignal.isValid() || m_sinceSignal.elapsed() >= kSignalIntervalMs) {
            m_sinceSignal.start();
            emit datesRead();
        }
    });
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_watcher = nullptr;
        emit datesRead();
        emit finished();
    });
    const QLocale locale;
    watcher->setFuture(
        QtConcurrent::mapped(&m_pool, m_paths, [locale](const QString &path) { return imageDateText(path, locale); }));
}

void ListDateReading::stop()
{
    if (!m_watcher)
        return;
    // Dates still under way are read to their end by the pool, but nobody
    // hears of them.
    m_watcher->disconnect(this);
    m_watcher->cancel();
    m_watcher->deleteLater();
    m_watcher = nullptr;
}

} // namespace tovin
