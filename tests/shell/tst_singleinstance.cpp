#include "singleinstance.h"
#include "testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace tovin;

// The program itself, started as a second process beside the test.
class SingleInstanceTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void secondCopyShowsSplashThenEndsSilently();
    void runningCopyHoldsTheLockUntilItEndsOrIsKilled();

private:
    void startProgram(QProcess &process, const QStringList &arguments = {});
    QString lockFile() const;

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QTemporaryDir> m_config;
};

void SingleInstanceTest::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::setPermissions(m_runtime->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void SingleInstanceTest::startProgram(QProcess &process, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config->path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProgram(test::builtProgramFolder() + QStringLiteral("/Tovin_en"));
    process.setArguments(arguments);
    process.start();
    QVERIFY(process.waitForStarted());
}

QString SingleInstanceTest::lockFile() const
{
    return m_runtime->filePath(QStringLiteral("Tovin_en.lock"));
}

void SingleInstanceTest::secondCopyShowsSplashThenEndsSilently()
{
    SingleInstanceLock running(m_runtime->path(), QStringLiteral("Tovin_en"));
    QVERIFY(running.tryAcquire());
    QProcess second;
    QElapsedTimer clock;
    clock.start();
    startProgram(second);
    QVERIFY(second.waitForFinished(15000));
    QVERIFY(clock.elapsed() >= 1900);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    // It got no further than its splash: no settings were written.
    QVERIFY(QDir(m_config->path()).isEmpty());
}

void SingleInstanceTest::runningCopyHoldsTheLockUntilItEndsOrIsKilled()
{
    {
        QProcess first;
        const QString picture = m_config->filePath(QStringLiteral("window.png"));
        startProgram(first, {QStringLiteral("--screenshot"), picture});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockFile()), 15000);
        SingleInstanceLock second(m_runtime->path(), QStringLiteral("Tovin_en"));
        QVERIFY(!second.tryAcquire());
        QVERIFY(first.waitForFinished(15000));
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(QFileInfo(picture).size() > 0);
        QVERIFY(second.tryAcquire());
    }
    // A killed copy leaves its lock file behind, and the next copy takes it over.
    QProcess killed;
    startProgram(killed);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockFile()), 15000);
    killed.kill();
    QVERIFY(killed.waitForFinished(5000));
    QVERIFY(QFileInfo::exists(lockFile()));
    SingleInstanceLock next(m_runtime->path(), QStringLiteral("Tovin_en"));
    QVERIFY(next.tryAcquire());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
