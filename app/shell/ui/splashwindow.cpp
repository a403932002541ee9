#include "splashwindow.h"

#include "programartwork.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace tovin {

namespace {
constexpr int kSplashMs = 2000;
}

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("frmSplash"));
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(splashPicture());
    picture->adjustSize();
    auto *quitButton = new QPushButton(QStringLiteral("Quit"), this);
    quitButton->setObjectName(QStringLiteral("quitButton"));
    quitButton->adjustSize();
    quitButton->move(picture->width() - quitButton->width() - 12, picture->height() - quitButton->height() - 12);
    setFixedSize(picture->size());

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kSplashMs);
    connect(Timer1, &QTimer::timeout, this, &SplashWindow::timerFired);
    connect(quitButton, &QPushButton::clicked, this, [this] {
        Timer1->stop();
        emit quitRequested();
    });
}

void SplashWindow::start()
{
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    Timer1->start();
}

} // namespace tovin
