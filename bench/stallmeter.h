#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// The longest gap between two turns of the event loop while it runs.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(1);
        connect(&m_tick, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_sinceLast.nsecsElapsed());
            m_sinceLast.restart();
        });
    }
    void start()
    {
        m_longest = 0;
        m_sinceLast.start();
        m_tick.start();
    }
    double stopMs()
    {
        m_tick.stop();
        m_longest = std::max(m_longest, m_sinceLast.nsecsElapsed());
        return m_longest / 1e6;
    }

private:
    QTimer m_tick;
    QElapsedTimer m_sinceLast;
    qint64 m_longest = 0;
};
