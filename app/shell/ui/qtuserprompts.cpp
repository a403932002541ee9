#include "qtuserprompts.h"

#include "messagetable.h"
#include "qtcolor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace tovin {
namespace {

QMessageBox::Icon toQtIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtUserPrompts::QtUserPrompts(QWidget *owner)
    : m_owner(owner)
{
}

PromptAnswer QtUserPrompts::showMessage(const QString &text, const QString &title, PromptIcon icon,
                                        PromptButtons buttons)
{
    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::NoButton, m_owner);
    QPushButton *ok = box.addButton(QMessageBox::Ok);
    if (buttons == PromptButtons::OkCancel)
        box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
}

void QtUserPrompts::showNotice(const QString &text, const QString &title)
{
    m_lastNoticeTitle = title;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, m_owner);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

OverwriteAnswer QtUserPrompts::askOverwrite(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, m_lastNoticeTitle, text, QMessageBox::NoButton, m_owner);
    QPushButton *yes = box.addButton(message(77), QMessageBox::YesRole);
    QPushButton *cancel = box.addButton(message(74), QMessageBox::RejectRole);
    // Enter and Escape both stop the run: replacing a file must be a deliberate click.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    auto *dontAskAgain = new QCheckBox(message(86), &box);
    box.setCheckBox(dontAskAgain);
    box.exec();
    if (box.clickedButton() != yes)
        return OverwriteAnswer::Cancel;
    return dontAskAgain->isChecked() ? OverwriteAnswer::ReplaceWithoutAsking : OverwriteAnswer::Replace;
}

QString QtUserPrompts::chooseFolder(const QString &prompt)
{
    return QFileDialog::getExistingDirectory(m_owner, prompt, QDir::homePath());
}

int QtUserPrompts::chooseColor(int initialColor)
{
    const QColor chosen = QColorDialog::getColor(toQColor(initialColor), m_owner);
    return chosen.isValid() ? fromQColor(chosen) : -1;
}

void QtUserPrompts::openDocument(const QString &path)
{
    // A web address opens in the browser; anything else is a local file.
    const QUrl address(path);
    const bool isWebAddress = address.scheme() == QLatin1String("http") || address.scheme() == QLatin1String("https");
    QDesktopServices::openUrl(isWebAddress ? address : QUrl::fromLocalFile(path));
}

} // namespace tovin
