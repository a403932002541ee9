#include "networkpath.h"

#include <QRegularExpression>

namespace tovin {

bool isNetworkPath(const QString &path)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    const auto isSeparator = [](QChar c) { return c == u'/' || c == u'\\'; };
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]))
        return true;
    return scheme.match(path).hasMatch();
}

} // namespace tovin
