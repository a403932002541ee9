#include "lensbox/scrollcolourfix.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>

namespace lensbox {

ScrollColourFix::~ScrollColourFix()
{
    remove();
}

void ScrollColourFix::install(QWidget *window)
{
    remove();
    if (!window)
        return;
    m_hooked = window;
    m_hooked->installEventFilter(this);
    shieldScrollBars();
}

void ScrollColourFix::remove()
{
    if (!m_hooked)
        return;
    m_hooked->removeEventFilter(this);
    releaseScrollBars();
    m_hooked = nullptr;
}

bool ScrollColourFix::eventFilter(QObject *watched, QEvent *event)
{
    // The hooked window's colours changed (its own, or the application's
    // that it follows): the bars take the application's current palette again.
    if (watched == m_hooked
        && (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)) {
        shieldScrollBars();
    }
    return QObject::eventFilter(watched, event);
}

void ScrollColourFix::shieldScrollBars()
{
    const auto bars = m_hooked->findChildren<QScrollBar *>();
    for (QScrollBar *bar : bars) {
        // Every role marked as set, so nothing resolves from the parents.
        QPalette own = QApplication::palette(bar);
        own.setResolveMask(~QPalette::ResolveMask(0));
        bar->setPalette(own);
    }
}

void ScrollColourFix::releaseScrollBars()
{
    const auto bars = m_hooked->findChildren<QScrollBar *>();
    for (QScrollBar *bar : bars)
        bar->setPalette(QPalette());
}

} // namespace lensbox
