#pragma once

#include <QPointer>
#include <QWidget>

namespace tovin {

// The busy mouse pointer over a window for as long as this lives.
class BusyPointer
{
public:
    explicit BusyPointer(QWidget *window)
        : m_window(window)
    {
        m_window->setCursor(Qt::WaitCursor);
    }
    ~BusyPointer()
    {
        if (m_window)
            m_window->unsetCursor();
    }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

private:
    QPointer<QWidget> m_window;
};

} // namespace tovin
