#pragma once

#include <QTimer>
#include <QWidget>

namespace tovin {

// Lies over the viewer while a preview is being made: dims it, turns a small
// arc and shows the busy pointer, so the user sees that work is going on
// while the rest of the window stays usable.
class PreviewBusyOverlay : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewBusyOverlay(QWidget *viewer);

    void start();
    void stop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_viewer;
    QTimer m_turn;
    int m_angle = 0;
};

} // namespace tovin
