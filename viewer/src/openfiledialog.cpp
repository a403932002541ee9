#include "lensbox/openfiledialog.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace lensbox {

OpenFileDialog::OpenFileDialog(QWidget *owner)
    : QObject(owner)
    , m_owner(owner)
{
}

void OpenFileDialog::showOpen()
{
    m_request.fileName = m_chooser ? m_chooser(m_request) : askWithFileDialog(m_request);
}

void OpenFileDialog::setChooser(Chooser chooser)
{
    m_chooser = std::move(chooser);
}

QString OpenFileDialog::askWithFileDialog(const Request &request) const
{
    const QString start =
        request.fileName.isEmpty() ? request.initialFolder : QDir(request.initialFolder).filePath(request.fileName);
    return QFileDialog::getOpenFileName(m_owner, request.title, start, toQtFilter(request.filter));
}

QString OpenFileDialog::toQtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' '))));
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace lensbox
