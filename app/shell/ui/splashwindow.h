#pragma once

#include <QWidget>

class QTimer;

namespace tovin {

// The splash window "frmSplash": the first window of the program, without a
// title bar, centred on the screen. Its timer fires once, 2000 ms after it is
// shown; its Quit button ends the program before anything is loaded.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SplashWindow(QWidget *parent = nullptr);

    // Shows the window centred and starts the timer.
    void start();

signals:
    void timerFired();
    void quitRequested();

private:
    QTimer *Timer1;
};

} // namespace tovin
