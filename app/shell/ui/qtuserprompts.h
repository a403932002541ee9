#pragma once

#include "userprompts.h"

#include <QPointer>
#include <QWidget>

namespace tovin {

// The prompts as dialogs over a window of the program.
class QtUserPrompts final : public UserPrompts
{
public:
    explicit QtUserPrompts(QWidget *owner = nullptr);

    void setOwner(QWidget *owner) { m_owner = owner; }

    PromptAnswer showMessage(const QString &text, const QString &title, PromptIcon icon,
                             PromptButtons buttons) override;
    void showNotice(const QString &text, const QString &title) override;
    OverwriteAnswer askOverwrite(const QString &text) override;
    QString chooseFolder(const QString &prompt, const QString &startFolder) override;
    int chooseColor(int initialColor) override;
    void openDocument(const QString &path) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace tovin
