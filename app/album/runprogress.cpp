#include "runprogress.h"

namespace tovin {

std::optional<qint64> RunProgress::remainingMs() const
{
    if (done <= 0 || total < done)
        return std::nullopt;
    return elapsedMs * (total - done) / done;
}

QString RunProgress::timeText() const
{
    QString text = durationText(elapsedMs) + QStringLiteral(" elapsed");
    if (const std::optional<qint64> remaining = remainingMs())
        text += QStringLiteral(", about ") + durationText(*remaining) + QStringLiteral(" left");
    return text;
}

QString durationText(qint64 milliseconds)
{
    const qint64 seconds = (milliseconds + 500) / 1000;
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(seconds / 60 % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds.rightJustified(5, QLatin1Char('0')));
}

} // namespace tovin
