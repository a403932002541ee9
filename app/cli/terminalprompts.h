#pragma once

#include "userprompts.h"

#include <cstdio>

namespace tovin {

enum class OverwritePolicy { Ask, Always };

// The prompts of a terminal: messages go to standard error; the overwrite
// question is asked there and answered on standard input when both are a
// terminal, and counts as Cancel otherwise.
class TerminalPrompts final : public UserPrompts
{
public:
    explicit TerminalPrompts(std::FILE *input = stdin, std::FILE *output = stderr);

    PromptAnswer showMessage(const QString &text, const QString &title, PromptIcon icon,
                             PromptButtons buttons) override;
    void showNotice(const QString &text, const QString &title) override;
    OverwriteAnswer askOverwrite(const QString &text) override;
    QString chooseFolder(const QString &prompt, const QString &startFolder) override;
    int chooseColor(int initialColor) override;
    void openDocument(const QString &path) override;

private:
    void print(const QString &text);

    std::FILE *m_input;
    std::FILE *m_output;
};

} // namespace tovin
