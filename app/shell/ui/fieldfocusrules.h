#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace tovin {

// How the program's text fields take and give up the focus: on entry the
// whole text is selected and the background turns to a light tint; on
// leaving, a field with a check runs it first, and a refused field keeps
// the focus and its text; then the background returns to the plain one.
// Focus that goes to another window (a message, a switch of application)
// is not leaving the field.
class FieldFocusRules : public QObject
{
    Q_OBJECT

public:
    // The check answers whether the field's text may be used; it tells the
    // user itself when not.
    using LeaveCheck = std::function<bool()>;

    explicit FieldFocusRules(QObject *parent = nullptr);

    void addField(QWidget *field, LeaveCheck check = {});
    // True while a refused field holds the focus: commands that would use
    // the fields wait until it is put right.
    bool holdsRefusedField() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void entered(QWidget *field);
    void left(QWidget *field);

    QHash<const QObject *, LeaveCheck> m_checks;
    QPointer<QWidget> m_refused;
    bool m_checking = false;
};

} // namespace tovin
