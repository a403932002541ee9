#include "headlesschromium.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <utility>

#include <sys/types.h>
#include <unistd.h>

namespace tovin::test {

namespace {

// What chromium needs to run as root, without a network and without touching
// the user's own profile; the virtual time budget lets the page's scripts
// finish before the DOM is dumped or the screenshot is taken.
QStringList baseArguments(const QString &profileDir, int virtualTimeBudgetMs)
{
    return {
        QStringLiteral("--headless"),
        QStringLiteral("--no-sandbox"),
        QStringLiteral("--disable-gpu"),
        QStringLiteral("--disable-background-networking"),
        QStringLiteral("--disable-component-update"),
        QStringLiteral("--no-first-run"),
        QStringLiteral("--disable-sync"),
        QStringLiteral("--user-data-dir=") + profileDir,
        QStringLiteral("--virtual-time-budget=%1").arg(virtualTimeBudgetMs),
    };
}

// Chromium writes a lot of harmless noise on stderr; the end of it is what
// explains a failure.
QString tailOf(const QByteArray &output)
{
    constexpr qsizetype kKeep = 2000;
    const QString text = QString::fromUtf8(output).trimmed();
    return text.size() <= kKeep ? text : QStringLiteral("...") + text.right(kKeep);
}

void killProcessGroup(qint64 group)
{
    if (group > 0)
        ::kill(-static_cast<pid_t>(group), SIGKILL);
}

} // namespace

HeadlessChromium::HeadlessChromium(QString program)
    : m_program(std::move(program))
{
}

bool HeadlessChromium::isAvailable() const
{
    const QFileInfo info(m_program);
    return info.isFile() && info.isExecutable();
}

QString HeadlessChromium::errorString() const
{
    return m_error;
}

int HeadlessChromium::timeout() const
{
    return m_timeoutMs;
}

void HeadlessChromium::setTimeout(int milliseconds)
{
    m_timeoutMs = milliseconds;
}

void HeadlessChromium::setVirtualTimeBudget(int milliseconds)
{
    m_virtualTimeBudgetMs = milliseconds;
}

QString HeadlessChromium::dumpDom(const QUrl &url)
{
    QByteArray output;
    if (!run(url, {QStringLiteral("--dump-dom")}, &output))
        return {};
    if (output.trimmed().isEmpty()) {
        fail(QStringLiteral("Chromium printed no document for %1").arg(url.toString()));
        return {};
    }
    return QString::fromUtf8(output);
}

bool HeadlessChromium::screenshot(const QUrl &url, const QString &pngPath, QSize windowSize)
{
    if (!windowSize.isValid() || windowSize.isEmpty())
        return fail(QStringLiteral("Invalid window size for a screenshot"));
    const QString target = QFileInfo(pngPath).absoluteFilePath();
    // A picture left from an earlier run must not pass for this one.
    if (QFileInfo::exists(target) && !QFile::remove(target))
        return fail(QStringLiteral("Cannot replace %1").arg(target));

    const QStringList arguments{
        QStringLiteral("--screenshot=") + target,
        QStringLiteral("--window-size=%1,%2").arg(windowSize.width()).arg(windowSize.height()),
    };
    QByteArray output;
    if (!run(url, arguments, &output))
        return false;

    QFile picture(target);
    static const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);
    if (!picture.open(QIODevice::ReadOnly) || picture.read(kPngSignature.size()) != kPngSignature)
        return fail(QStringLiteral("Chromium wrote no PNG to %1").arg(target));
    return true;
}

bool HeadlessChromium::run(const QUrl &url, const QStringList &modeArguments, QByteArray *standardOutput)
{
    m_error.clear();
    standardOutput->clear();
    if (!isAvailable()) {
        return fail(QStringLiteral("Chromium not found at %1 (Debian package \"chromium\")").arg(m_program));
    }
    if (!url.isValid() || url.isEmpty())
        return fail(QStringLiteral("Invalid URL: %1").arg(url.errorString()));
    // Chromium shows its own error page for a missing file and reports success.
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return fail(QStringLiteral("No such file: %1").arg(url.toLocalFile()));

    QTemporaryDir profile(QDir::tempPath() + QStringLiteral("/tovin-chromium-XXXXXX"));
    if (!profile.isValid())
        return fail(QStringLiteral("Cannot create a profile folder: %1").arg(profile.errorString()));

    QProcess process;
    process.setProgram(m_program);
    process.setArguments(baseArguments(profile.path(), m_virtualTimeBudgetMs) + modeArguments
                         + QStringList{url.toString(QUrl::FullyEncoded)});
    process.setStandardInputFile(QProcess::nullDevice());
    // Chromium starts helper processes; its own process group lets one signal
    // end them all, so none outlives the run or keeps the profile folder busy.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted(m_timeoutMs))
        return fail(QStringLiteral("Cannot start %1: %2").arg(m_program, process.errorString()));

    const qint64 group = process.processId();
    const bool finished = process.waitForFinished(m_timeoutMs);
    killProcessGroup(group);
    if (!finished) {
        process.waitForFinished(-1);
        return fail(QStringLiteral("Chromium did not finish %1 within %2 ms").arg(url.toString()).arg(m_timeoutMs));
    }

    *standardOutput = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString how = process.exitStatus() == QProcess::NormalExit
            ? QStringLiteral("exited with code %1").arg(process.exitCode())
            : QStringLiteral("crashed");
        standardOutput->clear();
        return fail(
            QStringLiteral("Chromium %1 on %2: %3").arg(how, url.toString(), tailOf(process.readAllStandardError())));
    }
    return true;
}

bool HeadlessChromium::fail(const QString &message)
{
    m_error = message;
    return false;
}

} // namespace tovin::test
