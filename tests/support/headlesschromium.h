#pragma once

#include <QString>
#include <QUrl>

namespace tovin::test {

bool chromiumIsInstalled();

// Runs Debian's chromium headless on one URL with a fresh profile and returns
// the DOM the page's scripts left, or an empty text with *error telling why
// (chromium missing, a minute gone by, a crash, a missing local file). The
// virtual time budget is how much page time (timers included) passes before
// the DOM is dumped; the page's clock runs faster than the wall's.
QString dumpDom(const QUrl &url, QString *error, int virtualTimeBudgetMs = 5000);

} // namespace tovin::test
