#pragma once

#include <QDialog>

namespace tovin {

class UserPrompts;

// The about box "frmAbout": the program's title and version, what it is for,
// and the support address, opened in the user's browser.
class AboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit AboutWindow(UserPrompts &prompts, QWidget *parent = nullptr);

    static const QString supportAddress;
};

} // namespace tovin
