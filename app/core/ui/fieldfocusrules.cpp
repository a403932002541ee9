#include "fieldfocusrules.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tovin {
namespace {

// The platform's colours for a field with the focus and for one without.
constexpr QPalette::ColorRole kFocusedBackground = QPalette::Midlight;
constexpr QPalette::ColorRole kPlainBackground = QPalette::Base;

void setBackground(QWidget *field, QPalette::ColorRole role)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QApplication::palette(field).color(role));
    field->setPalette(palette);
}

void selectAll(QWidget *field)
{
    if (auto *line = qobject_cast<QLineEdit *>(field))
        line->selectAll();
    else if (auto *text = qobject_cast<QPlainTextEdit *>(field))
        text->selectAll();
}

QString textOf(const QWidget *field)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(field))
        return line->text();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(field))
        return text->toPlainText();
    return {};
}

} // namespace

FieldFocusRules::FieldFocusRules(QObject *parent)
    : QObject(parent)
{
}

void FieldFocusRules::addField(QWidget *field, LeaveCheck check)
{
    field->installEventFilter(this);
    if (check)
        m_checks.append({field, std::move(check)});
}

bool FieldFocusRules::holdsRefusedField() const
{
    return m_refused && m_refused->hasFocus() && textOf(m_refused) == m_refusedText;
}

bool FieldFocusRules::checkFields()
{
    if (holdsRefusedField())
        return false;
    for (const auto &[field, check] : std::as_const(m_checks)) {
        if (field && field->isEnabled() && !runCheck(field, check))
            return false;
    }
    return true;
}

bool FieldFocusRules::checkFocusedField()
{
    const QWidget *focused = QApplication::focusWidget();
    for (const auto &[field, check] : std::as_const(m_checks)) {
        if (field == focused)
            return runCheck(field, check);
    }
    return true;
}

// The check's message takes the focus for a moment; that is not a second
// leave. A refused field takes the focus back, its text selected again.
bool FieldFocusRules::runCheck(QWidget *field, const LeaveCheck &check)
{
    m_checking = true;
    const bool accepted = check();
    m_checking = false;
    if (!accepted) {
        m_refused = field;
        m_refusedText = textOf(field);
        if (field->hasFocus())
            entered(field);
        else
            field->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (m_refused == field)
        m_refused = nullptr;
    return true;
}

bool FieldFocusRules::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QWidget *>(watched);
    if (!field)
        return false;
    if (event->type() == QEvent::FocusIn) {
        entered(field);
    } else if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            left(field);
    }
    return false;
}

void FieldFocusRules::entered(QWidget *field)
{
    // A text field's own focus handling would place the caret after this.
    QMetaObject::invokeMethod(
        field, [field] { selectAll(field); }, Qt::QueuedConnection);
    setBackground(field, kFocusedBackground);
}

void FieldFocusRules::left(QWidget *field)
{
    if (!m_checking && field->isVisible()) {
        for (const auto &[checked, check] : std::as_const(m_checks)) {
            if (checked == field && !runCheck(field, check))
                return;
        }
    }
    setBackground(field, kPlainBackground);
}

} // namespace tovin
