#pragma once

#include "userprompts.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tovin::test {

// What the program showed, one entry per prompt, in order.
struct ShownPrompt {
    enum class Kind { Message, Notice, Overwrite, Folder, Color, Document };
    Kind kind = Kind::Message;
    QString text;
    QString title;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;

    bool operator==(const ShownPrompt &) const = default;
};

// A message box: refusals (exclamation), failures (critical), results.
ShownPrompt messageBox(const QString &text, const QString &title, PromptIcon icon);

// QCOMPARE prints what was shown when prompts differ.
char *toString(const ShownPrompt &prompt);

// Prompts that answer from a script and remember exactly what was shown.
// Without a scripted answer a message is answered OK, an overwrite question
// Replace, a folder chooser and a colour dialog are cancelled.
class ScriptedPrompts final : public UserPrompts
{
public:
    QList<ShownPrompt> shown;
    QList<PromptAnswer> messageAnswers;
    QList<OverwriteAnswer> overwriteAnswers;
    QStringList folderAnswers;
    QList<int> colorAnswers;

    PromptAnswer showMessage(const QString &text, const QString &title, PromptIcon icon,
                             PromptButtons buttons) override;
    void showNotice(const QString &text, const QString &title) override;
    OverwriteAnswer askOverwrite(const QString &text) override;
    // Shown with the start folder as its title.
    QString chooseFolder(const QString &prompt, const QString &startFolder) override;
    int chooseColor(int initialColor) override;
    void openDocument(const QString &path) override;

    QList<ShownPrompt> ofKind(ShownPrompt::Kind kind) const;
    // The titles of everything shown, taken so that nothing is left shown.
    QStringList takeTitles();
    // The texts of everything shown, for a readable failure message.
    QString transcript() const;
};

} // namespace tovin::test
