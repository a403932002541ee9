#pragma once

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

namespace tovin {

// Reads the "Date Created" texts of a listing's images (imageDateText) on
// workers of its own, so that the list shows at once and its dates fill in as
// they come, in the order given. A photo's date lies inside the file: for a
// folder of thousands that takes longer than listing it. The workers are not
// the shared ones, so that a preview asked for meanwhile does not wait for
// them.
class ListDateReading : public QObject
{
    Q_OBJECT

public:
    explicit ListDateReading(QObject *parent = nullptr);
    ~ListDateReading() override;

    // Starts reading the dates of these images; the texts of a reading still
    // under way are dropped.
    void start(const QStringList &paths);
    // Drops the reading under way, if any.
    void stop();
    bool isReading() const { return m_watcher != nullptr; }
    // The text read for an image of the last reading; empty while unread.
    QString dateText(const QString &path) const { return m_texts.value(path); }

signals:
    // More texts were read; emitted at most ten times a second while the
    // reading goes on, and once more when it has read them all.
    void datesRead();
    void finished();

private:
    QThreadPool m_pool;
    QFutureWatcher<QString> *m_watcher = nullptr;
    QStringList m_paths;
    QHash<QString, QString> m_texts;
    QElapsedTimer m_sinceSignal;
};

} // namespace tovin
