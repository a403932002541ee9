#include "paths.h"

namespace tovin {

QString joinPath(const QString &folder, const QString &name)
{
    return collapseSeparators(folder + u'/' + name);
}

QString collapseSeparators(const QString &path)
{
    QString collapsed;
    collapsed.reserve(path.size());
    for (const QChar c : path) {
        if (c == u'/' && collapsed.endsWith(u'/'))
            continue;
        collapsed.append(c);
    }
    return collapsed;
}

QString fileNameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace tovin
