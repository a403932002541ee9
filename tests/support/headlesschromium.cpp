#include "headlesschromium.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#include <unistd.h>

namespace tovin::test {
namespace {

const QString kProgram = QStringLiteral("/usr/bin/chromium");
constexpr int kTimeoutMs = 60000;

} // namespace

bool chromiumIsInstalled()
{
    return QFileInfo(kProgram).isExecutable();
}

QString dumpDom(const QUrl &url, QString *error, int virtualTimeBudgetMs)
{
    const auto fail = [error](const QString &why) {
        *error = why;
        return QString();
    };
    if (!chromiumIsInstalled())
        return fail(QStringLiteral("Chromium not found at %1 (Debian package \"chromium\")").arg(kProgram));
    // Chromium shows its own error page for a missing file and reports success.
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return fail(QStringLiteral("No such file: %1").arg(url.toLocalFile()));

    QTemporaryDir profile(QDir::tempPath() + QStringLiteral("/tovin-chromium-XXXXXX"));
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    // Chromium starts helper processes; its own process group lets one signal
    // end them all, so none outlives the run or keeps the profile folder busy.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    // As root, without a network and without touching the user's own profile.
    process.start(kProgram,
                  {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                   QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
                   QStringLiteral("--no-first-run"), QStringLiteral("--disable-sync"),
                   QStringLiteral("--user-data-dir=") + profile.path(),
                   QStringLiteral("--virtual-time-budget=%1").arg(virtualTimeBudgetMs), QStringLiteral("--dump-dom"),
                   url.toString(QUrl::FullyEncoded)});
    if (!process.waitForStarted(kTimeoutMs))
        return fail(QStringLiteral("Cannot start %1: %2").arg(kProgram, process.errorString()));
    const qint64 group = process.processId();
    const bool finished = process.waitForFinished(kTimeoutMs);
    ::kill(-pid_t(group), SIGKILL);
    if (!finished) {
        process.waitForFinished(-1);
        return fail(QStringLiteral("Chromium did not finish %1 within %2 ms").arg(url.toString()).arg(kTimeoutMs));
    }
    const QString dom = QString::fromUtf8(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || dom.trimmed().isEmpty()) {
        // Chromium writes a lot of harmless noise on stderr; the end of it is
        // what explains a failure.
        return fail(QStringLiteral("Chromium failed on %1 (exit code %2): %3")
                        .arg(url.toString())
                        .arg(process.exitCode())
                        .arg(QString::fromUtf8(process.readAllStandardError()).right(2000)));
    }
    return dom;
}

} // namespace tovin::test
