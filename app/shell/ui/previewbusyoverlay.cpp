#include "previewbusyoverlay.h"

#include <QEvent>
#include <QPainter>

namespace tovin {

PreviewBusyOverlay::PreviewBusyOverlay(QWidget *viewer)
    : QWidget(viewer->parentWidget())
    , m_viewer(viewer)
{
    setObjectName(QStringLiteral("previewBusy"));
    setCursor(Qt::BusyCursor);
    hide();
    m_turn.setInterval(40);
    connect(&m_turn, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 12) % 360;
        update();
    });
    viewer->installEventFilter(this);
}

void PreviewBusyOverlay::start()
{
    setGeometry(m_viewer->geometry());
    raise();
    show();
    m_turn.start();
}

void PreviewBusyOverlay::stop()
{
    m_turn.stop();
    hide();
}

bool PreviewBusyOverlay::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        setGeometry(m_viewer->geometry());
    return false;
}

void PreviewBusyOverlay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor veil = palette().color(QPalette::Window);
    veil.setAlpha(140);
    painter.fillRect(rect(), veil);
    const int side = std::min(32, std::min(width(), height()) / 2);
    const QRect arc(rect().center() - QPoint(side / 2, side / 2), QSize(side, side));
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(arc, -m_angle * 16, 270 * 16);
}

} // namespace tovin
