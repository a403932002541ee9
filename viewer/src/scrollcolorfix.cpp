#include "lensbox/scrollcolorfix.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>

namespace lensbox {

ScrollColorFix::~ScrollColorFix()
{
    remove();
}

void ScrollColorFix::install(QWidget *window)
{
    remove();
    if (!window)
        return;
    m_hooked = window;
    m_hooked->installEventFilter(this);
    shieldScrollBars();
}

void ScrollColorFix::remove()
{
    if (!m_hooked)
        return;
    m_hooked->removeEventFilter(this);
    releaseScrollBars();
    m_hooked = nullptr;
}

bool ScrollColorFix::eventFilter(QObject *watched, QEvent *event)
{
    // The hooked window's colours changed (its own, or the application's
    // that it follows): the bars take the application's current palette again.
    if (watched == m_hooked
        && (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)) {
        shieldScrollBars();
    }
    return QObject::eventFilter(watched, event);
}

void ScrollColorFix::shieldScrollBars()
{
    const auto bars = m_hooked->findChildren<QScrollBar *>();
    for (QScrollBar *bar : bars) {
        // Every role marked as set, so nothing resolves from the parents.
        QPalette own = QApplication::palette(bar);
        own.setResolveMask(~QPalette::ResolveMask(0));
        bar->setPalette(own);
    }
}

void ScrollColorFix::releaseScrollBars()
{
    const auto bars = m_hooked->findChildren<QScrollBar *>();
    for (QScrollBar *bar : bars)
        bar->setPalette(QPalette());
}

} // namespace lensbox
