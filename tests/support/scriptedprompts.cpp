#include "scriptedprompts.h"

#include <QTest>

#include <utility>

namespace tovin::test {

ShownPrompt messageBox(const QString &text, const QString &title, PromptIcon icon)
{
    return {ShownPrompt::Kind::Message, text, title, icon};
}

char *toString(const ShownPrompt &prompt)
{
    return QTest::toString(QStringLiteral("{kind %1, icon %2, buttons %3, title \"%4\", text \"%5\"}")
                               .arg(int(prompt.kind))
                               .arg(int(prompt.icon))
                               .arg(int(prompt.buttons))
                               .arg(prompt.title, prompt.text));
}

PromptAnswer ScriptedPrompts::showMessage(const QString &text, const QString &title, PromptIcon icon,
                                          PromptButtons buttons)
{
    shown.append({ShownPrompt::Kind::Message, text, title, icon, buttons});
    return messageAnswers.isEmpty() ? PromptAnswer::Ok : messageAnswers.takeFirst();
}

void ScriptedPrompts::showNotice(const QString &text, const QString &title)
{
    shown.append({ShownPrompt::Kind::Notice, text, title});
}

OverwriteAnswer ScriptedPrompts::askOverwrite(const QString &text)
{
    shown.append({ShownPrompt::Kind::Overwrite, text, {}, PromptIcon::None, PromptButtons::OkCancel});
    return overwriteAnswers.isEmpty() ? OverwriteAnswer::Replace : overwriteAnswers.takeFirst();
}

QString ScriptedPrompts::chooseFolder(const QString &prompt, const QString &startFolder)
{
    shown.append({ShownPrompt::Kind::Folder, prompt, startFolder, PromptIcon::None, PromptButtons::OkCancel});
    return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
}

int ScriptedPrompts::chooseColor(int initialColor)
{
    shown.append(
        {ShownPrompt::Kind::Color, QString::number(initialColor), {}, PromptIcon::None, PromptButtons::OkCancel});
    return colorAnswers.isEmpty() ? -1 : colorAnswers.takeFirst();
}

void ScriptedPrompts::openDocument(const QString &path)
{
    shown.append({ShownPrompt::Kind::Document, path, {}});
}

QList<ShownPrompt> ScriptedPrompts::ofKind(ShownPrompt::Kind kind) const
{
    QList<ShownPrompt> matching = shown;
    matching.removeIf([kind](const ShownPrompt &prompt) { return prompt.kind != kind; });
    return matching;
}

QStringList ScriptedPrompts::takeTitles()
{
    QStringList titles;
    for (const ShownPrompt &prompt : std::exchange(shown, {}))
        titles << prompt.title;
    return titles;
}

QString ScriptedPrompts::transcript() const
{
    QStringList lines;
    for (const ShownPrompt &prompt : shown)
        lines << QStringLiteral("[%1] %2").arg(prompt.title, prompt.text);
    return lines.join(u'\n');
}

} // namespace tovin::test
