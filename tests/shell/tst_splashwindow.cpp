#include "splashwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace tovin;

class SplashWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void showsCentredWithoutTitleBar()
    {
        SplashWindow frmSplash;
        frmSplash.start();
        QVERIFY(frmSplash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!frmSplash.findChild<QLabel *>(QStringLiteral("Picture1"))->pixmap().isNull());
        QCOMPARE(frmSplash.findChild<QPushButton *>(QStringLiteral("quitButton"))->text(), QStringLiteral("Quit"));
        const QPoint screenCentre = frmSplash.screen()->availableGeometry().center();
        QVERIFY((frmSplash.geometry().center() - screenCentre).manhattanLength() <= 2);
    }

    // The timer fires once, 2000 ms after the start, unless Quit comes first.
    void timerFiresOnceUnlessQuitComesFirst()
    {
        SplashWindow waited, quitted;
        QSignalSpy fired(&waited, &SplashWindow::timerFired);
        QSignalSpy quit(&quitted, &SplashWindow::quitRequested);
        waited.start();
        quitted.start();
        const auto *timer = waited.findChild<QTimer *>(QStringLiteral("Timer1"));
        QVERIFY(timer->isSingleShot() && timer->isActive());
        QCOMPARE(timer->interval(), 2000);
        QTest::mouseClick(quitted.findChild<QPushButton *>(QStringLiteral("quitButton")), Qt::LeftButton);
        QCOMPARE(quit.size(), 1);
        QVERIFY(!quitted.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
        QVERIFY(fired.wait(10000));
    }
};

QTEST_MAIN(SplashWindowTest)
#include "tst_splashwindow.moc"
