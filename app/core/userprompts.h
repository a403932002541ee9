#pragma once

#include <QString>

namespace tovin {

enum class PromptIcon { None, Critical, Question, Exclamation, Information };
enum class PromptButtons { Ok, OkCancel };
enum class PromptAnswer { Ok, Cancel };

// The answer to the question asked before an existing output file is
// replaced: replace it, replace it and stop asking ("Dont show this message
// again." ticked), or stop the run.
enum class OverwriteAnswer { Replace, ReplaceWithoutAsking, Cancel };

// Every way the program talks to the user goes through here: the windows use
// dialogs, the command line uses the terminal, and tests script the answers
// and check exactly what was shown.
class UserPrompts
{
public:
    virtual ~UserPrompts() = default;

    virtual PromptAnswer showMessage(const QString &text, const QString &title, PromptIcon icon,
                                     PromptButtons buttons) = 0;
    // The one-button message window of the batch run (missing album templates)
    // and of saving adjustments: a text and a title, closed with OK.
    virtual void showNotice(const QString &text, const QString &title) = 0;
    virtual OverwriteAnswer askOverwrite(const QString &text) = 0;
    // A folder path, or an empty text when the user cancels. The chooser
    // opens at `startFolder` when it names a folder.
    virtual QString chooseFolder(const QString &prompt, const QString &startFolder) = 0;
    // A colour as 0x00BBGGRR, or -1 when the user cancels.
    virtual int chooseColor(int initialColor) = 0;
    // Opens a file or folder with the desktop's default application; a failure
    // is not reported.
    virtual void openDocument(const QString &path) = 0;
};

} // namespace tovin
