#include "dialogwindow.h"

#include "messagetable.h"
#include "twipsgeometry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace tovin {

DialogWindow::DialogWindow(QWidget *parent)
    : QDialog(parent)
    , m_frame(new QGroupBox(this))
    , m_message(new QLabel(this))
    , m_showCheck(new QCheckBox(message(86), this))
    , m_cancelButton(new QPushButton(this))
    , m_okButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmDialog"));
    setModal(true);
    useDesignFont(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_message->setObjectName(QStringLiteral("msgLabel"));
    m_showCheck->setObjectName(QStringLiteral("showCheck"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    setFixedSize(twipsSize(4680, 2385, this));
    m_frame->setGeometry(twipsRect(120, 0, 4455, 1815, this));
    m_message->setGeometry(twipsRect(120, 240, 4215, 1455, this));
    m_showCheck->setGeometry(twipsRect(120, 1920, 3015, 255, this));
    m_cancelButton->setGeometry(twipsRect(3120, 1920, 750, 375, this));
    m_okButton->setGeometry(twipsRect(3950, 1920, 600, 375, this));
    m_message->raise();

    connect(m_okButton, &QPushButton::clicked, this, [this] { done(Accepted); });
    connect(m_cancelButton, &QPushButton::clicked, this, &DialogWindow::cancel);
}

OverwriteAnswer DialogWindow::askOverwrite(const QString &text)
{
    m_message->setText(text);
    m_showCheck->setChecked(false);
    m_showCheck->show();
    m_canceled = false;
    m_cancelButton->setText(message(74));
    m_cancelButton->show();
    m_okButton->setText(message(77));
    // Enter and Escape both stop the run: replacing a file must be a
    // deliberate click.
    m_okButton->setDefault(false);
    m_okButton->setAutoDefault(false);
    m_cancelButton->setDefault(true);
    m_cancelButton->setFocus();
    exec();
    if (m_canceled)
        return OverwriteAnswer::Cancel;
    return m_showCheck->isChecked() ? OverwriteAnswer::ReplaceWithoutAsking : OverwriteAnswer::Replace;
}

void DialogWindow::showNotice(const QString &text, const QString &title)
{
    m_message->setText(text);
    setWindowTitle(title);
    m_cancelButton->hide();
    m_showCheck->hide();
    m_okButton->setText(QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_okButton->setFocus();
    exec();
}

void DialogWindow::reject()
{
    if (asksQuestion())
        cancel();
    else
        done(Accepted);
}

void DialogWindow::closeEvent(QCloseEvent *event)
{
    // The question must be answered with one of its two buttons.
    if (asksQuestion())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void DialogWindow::cancel()
{
    m_canceled = true;
    done(Rejected);
}

bool DialogWindow::asksQuestion() const
{
    return !m_cancelButton->isHidden();
}

} // namespace tovin
