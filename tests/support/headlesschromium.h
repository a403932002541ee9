#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace tovin::test {

// Looks at a page the way a user's browser would: runs Debian's chromium
// headless on one URL, lets the page's scripts run, and returns the DOM they
// left or a screenshot. Every run gets a fresh profile folder, removed
// afterwards, and is ended when it takes longer than the timeout.
//
// A failed run (chromium missing, timeout, crash, missing local file) gives an
// empty result and errorString() tells why; tests skip when !isAvailable().
class HeadlessChromium
{
public:
    static constexpr int kDefaultTimeoutMs = 60000;

    explicit HeadlessChromium(QString program = QStringLiteral("/usr/bin/chromium"));

    bool isAvailable() const;
    QString errorString() const;

    int timeout() const;
    void setTimeout(int milliseconds);

    // How much page time (timers included) passes before the DOM is dumped
    // or the screenshot taken; the page's clock runs faster than the wall's.
    void setVirtualTimeBudget(int milliseconds);

    // The page's DOM, serialised, once its scripts have run.
    QString dumpDom(const QUrl &url);

    // Writes a PNG of the page shown in a window of the given size.
    bool screenshot(const QUrl &url, const QString &pngPath, QSize windowSize = QSize(1024, 768));

private:
    bool run(const QUrl &url, const QStringList &modeArguments, QByteArray *standardOutput);
    bool fail(const QString &message);

    QString m_program;
    QString m_error;
    int m_timeoutMs = kDefaultTimeoutMs;
    int m_virtualTimeBudgetMs = 5000;
};

} // namespace tovin::test
