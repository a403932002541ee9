#pragma once

#include <QString>
#include <QUrl>

namespace tovin::test {

// Looks at a page the way a user's browser would: runs Debian's chromium
// headless on one URL, lets the page's scripts run, and returns the DOM they
// left. Every run gets a fresh profile folder, removed afterwards, and is
// ended when it takes longer than a minute.
//
// A failed run (chromium missing, timeout, crash, missing local file) gives an
// empty result and errorString() tells why; tests skip when !isAvailable().
class HeadlessChromium
{
public:
    bool isAvailable() const;
    QString errorString() const { return m_error; }

    // How much page time (timers included) passes before the DOM is dumped;
    // the page's clock runs faster than the wall's.
    void setVirtualTimeBudget(int milliseconds) { m_virtualTimeBudgetMs = milliseconds; }

    QString dumpDom(const QUrl &url);

private:
    QString fail(const QString &message);

    QString m_error;
    int m_virtualTimeBudgetMs = 5000;
};

} // namespace tovin::test
