#pragma once

#include "userprompts.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tovin {

// frmDialog: the question asked before the batch run replaces a file, and the
// one-button message window of the run and of saving adjustments. It is
// hidden, not destroyed, between uses, so its title carries over from a
// message to a later question.
class DialogWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit DialogWindow(QWidget *parent = nullptr);

    // The text is shown as given; the title stays as the last message left it.
    OverwriteAnswer askOverwrite(const QString &text);
    void showNotice(const QString &text, const QString &title);

    // True when the last question was answered with Cancel (or Enter, or
    // Escape).
    bool canceled() const { return m_canceled; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void cancel();
    bool asksQuestion() const;

    QGroupBox *m_frame;
    QLabel *m_message;
    QCheckBox *m_showCheck;
    QPushButton *m_cancelButton;
    QPushButton *m_okButton;
    bool m_canceled = true;
};

} // namespace tovin
