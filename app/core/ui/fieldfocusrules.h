#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <utility>

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
    // True while a refused field holds the focus with the text it was
    // refused for: commands that would use the fields wait until it is put
    // right, and say nothing more (its check has just spoken).
    bool holdsRefusedField() const;
    // Before a command uses the fields, whatever way it was started (a key
    // leaves no field): each enabled field is checked in the order added, as
    // if it were left, and the first refused one takes the focus. False when
    // a field is refused, or already holds the focus refused.
    bool checkFields();
    // The field with the focus checked as leaving it would, before something
    // hides it (a page of tabs being switched). A field that is hidden is not
    // left by the user, and not checked then.
    bool checkFocusedField();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void entered(QWidget *field);
    void left(QWidget *field);
    bool runCheck(QWidget *field, const LeaveCheck &check);

    QList<std::pair<QPointer<QWidget>, LeaveCheck>> m_checks;
    QPointer<QWidget> m_refused;
    QString m_refusedText;
    bool m_checking = false;
};

} // namespace tovin
