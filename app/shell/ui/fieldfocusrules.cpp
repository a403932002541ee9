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

} // namespace

FieldFocusRules::FieldFocusRules(QObject *parent)
    : QObject(parent)
{
}

void FieldFocusRules::addField(QWidget *field, LeaveCheck check)
{
    field->installEventFilter(this);
    if (check)
        m_checks.insert(field, std::move(check));
    connect(field, &QObject::destroyed, this, [this](QObject *gone) { m_checks.remove(gone); });
}

bool FieldFocusRules::holdsRefusedField() const
{
    return m_refused && m_refused->hasFocus();
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
    const auto check = m_checks.constFind(field);
    if (check != m_checks.constEnd() && !m_checking) {
        // The check's message takes the focus for a moment; that is not a
        // second leave.
        m_checking = true;
        const bool accepted = (*check)();
        m_checking = false;
        if (!accepted) {
            m_refused = field;
            field->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (m_refused == field)
            m_refused = nullptr;
    }
    setBackground(field, kPlainBackground);
}

} // namespace tovin
