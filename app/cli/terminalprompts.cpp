#include "terminalprompts.h"

#include <QProcess>
#include <QTextStream>

#include <unistd.h>

namespace tovin {

TerminalPrompts::TerminalPrompts(std::FILE *input, std::FILE *output)
    : m_input(input)
    , m_output(output)
{
}

void TerminalPrompts::print(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), m_output);
    std::fputc('\n', m_output);
    std::fflush(m_output);
}

PromptAnswer TerminalPrompts::showMessage(const QString &text, const QString &, PromptIcon, PromptButtons)
{
    print(text);
    return PromptAnswer::Ok;
}

void TerminalPrompts::showNotice(const QString &text, const QString &)
{
    print(text);
}

OverwriteAnswer TerminalPrompts::askOverwrite(const QString &text)
{
    print(text);
    if (!::isatty(fileno(m_input)) || !::isatty(fileno(m_output))) {
        print(QStringLiteral("(no terminal to answer on: Cancel)"));
        return OverwriteAnswer::Cancel;
    }
    std::fputs("Replace? [y]es, [a]ll without asking again, anything else cancels: ", m_output);
    std::fflush(m_output);
    char line[64] = {};
    if (!std::fgets(line, sizeof line, m_input))
        return OverwriteAnswer::Cancel;
    const QString answer = QString::fromLocal8Bit(line).trimmed().toLower();
    if (answer == QLatin1String("y") || answer == QLatin1String("yes"))
        return OverwriteAnswer::Replace;
    if (answer == QLatin1String("a") || answer == QLatin1String("all"))
        return OverwriteAnswer::ReplaceWithoutAsking;
    return OverwriteAnswer::Cancel;
}

QString TerminalPrompts::chooseFolder(const QString &, const QString &)
{
    return {};
}

int TerminalPrompts::chooseColor(int)
{
    return -1;
}

void TerminalPrompts::openDocument(const QString &path)
{
    QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

} // namespace tovin
