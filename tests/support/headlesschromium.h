#pragma once

#include <QString>
#include <QUrl>

namespace tovin::test {

// Runs Debian's chromium headless on one URL with a fresh profile and returns
// the DOM the page's scripts left, or an empty text with errorString() telling
// why (chromium missing, a minute gone by, a crash, a missing local file).
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
    QString fail(const QString &message)
    {
        m_error = message;
        return {};
    }

    QString m_error;
    int m_virtualTimeBudgetMs = 5000;
};

} // namespace tovin::test
