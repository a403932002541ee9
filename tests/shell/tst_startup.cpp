// The start of the program: the splash window, and one running copy per
// user, with the program itself started as a second process beside the test.

#include "singleinstance.h"
#include "splashwindow.h"
#include "testenvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace tovin;

class StartupTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QTemporaryDir> m_config;

    void startProgram(QProcess &process, const QStringList &arguments = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config->path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Qt tells on its error channel which windows it paints.
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.widgets.painting=true"));
        process.setProcessEnvironment(environment);
        process.start(test::builtProgramFolder() + QStringLiteral("/Tovin_en"), arguments);
        QVERIFY(process.waitForStarted());
    }

    bool lockFileExists() const { return QFileInfo::exists(m_runtime->filePath(QStringLiteral("Tovin_en.lock"))); }

private slots:
    void splashShowsCentredWithoutTitleBar()
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
    void splashTimerFiresOnceUnlessQuitComesFirst()
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

    void init()
    {
        m_runtime = std::make_unique<QTemporaryDir>();
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // It gets no further than its splash: no main window, no settings, and
    // nothing said but what was painted.
    void secondCopyShowsSplashThenEndsSilently()
    {
        SingleInstanceLock running(m_runtime->path(), QStringLiteral("Tovin_en"));
        QVERIFY(running.tryAcquire());
        QProcess second;
        startProgram(second);
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        const QString said = QString::fromLocal8Bit(second.readAllStandardError() + second.readAllStandardOutput());
        QVERIFY2(said.contains(QRegularExpression(QStringLiteral("Flushing QRegion\\(.+\\) of tovin::SplashWindow"))),
                 qPrintable(said));
        QVERIFY(!said.contains(QStringLiteral("frmMain")));
        for (const QString &line : said.split(u'\n', Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith(QStringLiteral("qt.widgets.painting: ")), qPrintable(line));
        QVERIFY(QDir(m_config->path()).isEmpty());
    }

    // A killed copy leaves its lock file behind, and the next copy takes it over.
    void runningCopyHoldsTheLockUntilItEndsOrIsKilled()
    {
        {
            QProcess first;
            const QString picture = m_config->filePath(QStringLiteral("window.png"));
            startProgram(first, {QStringLiteral("--screenshot"), picture});
            QTRY_VERIFY_WITH_TIMEOUT(lockFileExists(), 15000);
            SingleInstanceLock second(m_runtime->path(), QStringLiteral("Tovin_en"));
            QVERIFY(!second.tryAcquire());
            QVERIFY(first.waitForFinished(15000));
            QCOMPARE(first.exitCode(), 0);
            QVERIFY(QFileInfo(picture).size() > 0);
            QVERIFY(second.tryAcquire());
        }
        QProcess killed;
        startProgram(killed);
        QTRY_VERIFY_WITH_TIMEOUT(lockFileExists(), 15000);
        killed.kill();
        QVERIFY(killed.waitForFinished(5000));
        QVERIFY(lockFileExists());
        QVERIFY(SingleInstanceLock(m_runtime->path(), QStringLiteral("Tovin_en")).tryAcquire());
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
