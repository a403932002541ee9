#include "splashwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace tovin;

class SplashWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void showsCentredWithoutTitleBar();
    void timerFiresOnceAfterTwoSeconds();
    void quitEndsBeforeTheTimer();
};

void SplashWindowTest::showsCentredWithoutTitleBar()
{
    SplashWindow frmSplash;
    frmSplash.start();
    QVERIFY(frmSplash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!frmSplash.findChild<QLabel *>(QStringLiteral("Picture1"))->pixmap().isNull());
    QCOMPARE(frmSplash.findChild<QPushButton *>(QStringLiteral("quitButton"))->text(), QStringLiteral("Quit"));
    const QPoint screenCentre = frmSplash.screen()->availableGeometry().center();
    QVERIFY((frmSplash.geometry().center() - screenCentre).manhattanLength() <= 2);
}

void SplashWindowTest::timerFiresOnceAfterTwoSeconds()
{
    SplashWindow frmSplash;
    QSignalSpy fired(&frmSplash, &SplashWindow::timerFired);
    frmSplash.start();
    QTest::qWait(1500);
    QCOMPARE(fired.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(fired.size(), 1, 2000);
    QTest::qWait(2200);
    QCOMPARE(fired.size(), 1);
}

void SplashWindowTest::quitEndsBeforeTheTimer()
{
    SplashWindow frmSplash;
    QSignalSpy fired(&frmSplash, &SplashWindow::timerFired);
    QSignalSpy quit(&frmSplash, &SplashWindow::quitRequested);
    frmSplash.start();
    QTest::mouseClick(frmSplash.findChild<QPushButton *>(QStringLiteral("quitButton")), Qt::LeftButton);
    QCOMPARE(quit.size(), 1);
    QTest::qWait(2300);
    QCOMPARE(fired.size(), 0);
}

QTEST_MAIN(SplashWindowTest)
#include "tst_splashwindow.moc"
