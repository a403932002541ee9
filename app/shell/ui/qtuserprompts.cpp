#include "qtuserprompts.h"

#include "dialogwindow.h"
#include "qtcolor.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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

// frmDialog as the batch window in front made it, which keeps its title and
// its "Dont show this message again." from one use to the next and goes with
// that window; with none in front (a save's result), a dialog of its own.
template<typename Use> auto withDialog(QWidget *owner, Use use)
{
    if (QWidget *front = QApplication::activeModalWidget()) {
        if (auto *made = front->findChild<DialogWindow *>(QString(), Qt::FindDirectChildrenOnly))
            return use(*made);
    }
    DialogWindow own(owner);
    return use(own);
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
    withDialog(m_owner, [&](DialogWindow &dialog) { dialog.showNotice(text, title); });
}

OverwriteAnswer QtUserPrompts::askOverwrite(const QString &text)
{
    return withDialog(m_owner, [&](DialogWindow &dialog) { return dialog.askOverwrite(text); });
}

QString QtUserPrompts::chooseFolder(const QString &prompt, const QString &startFolder)
{
    const bool isFolder = !startFolder.isEmpty() && QFileInfo(startFolder).isDir();
    return QFileDialog::getExistingDirectory(m_owner, prompt, isFolder ? startFolder : QDir::homePath());
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
