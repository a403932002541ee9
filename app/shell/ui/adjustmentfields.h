#pragma once

#include "adjustmentfieldvalues.h"
#include "adjustmentselections.h"

#include <QObject>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace tovin {

class FieldFocusRules;
struct MainWindowForm;
class UserPrompts;

// The Image Adjustments fields and the description at work: each spinner
// steps its field, the numbers are checked when the user leaves them, the
// two lists keep SelectedFilter and SaveQuality, and a typed quality is
// checked on every keystroke.
class AdjustmentFields : public QObject
{
    Q_OBJECT

public:
    AdjustmentFields(const MainWindowForm &form, UserPrompts &prompts, QObject *parent = nullptr);

    AdjustmentFieldValues values() const;
    // Shows a stored record's values; the lists' selection rules run as for
    // a choice of the user, the fields' leave checks do not.
    void ShowRecordInFields(const AdjustmentFieldValues &values);
    // Puts the lists where the settings had them, with the same rules.
    void selectListPositions(int filterPosition, int qualityPosition);

    const AdjustmentSelections &selections() const { return m_selections; }
    // True while a refused field holds the focus.
    bool holdsRefusedField() const;
    // Checks every field as leaving it would, before a command uses them.
    bool checkFields();

private:
    void bindTick(QSpinBox *tick, QLineEdit *input);
    void limitDescription();

    const MainWindowForm &m_form;
    UserPrompts &m_prompts;
    FieldFocusRules *m_focusRules;
    AdjustmentSelections m_selections;
};

} // namespace tovin
