#include "adjustmentfields.h"

#include "fieldchecks.h"
#include "fieldfocusrules.h"
#include "mainwindowform.h"
#include "numbertext.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

namespace tovin {
namespace {

constexpr int kDescriptionLimit = 250;

// Before a spinner steps it takes up the number in its field, so the step
// starts from what the user sees.
class TickFollowsField : public QObject
{
public:
    TickFollowsField(QSpinBox *tick, QLineEdit *input)
        : QObject(tick)
        , m_tick(tick)
        , m_input(input)
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::Wheel
            || type == QEvent::KeyPress) {
            if (const std::optional<double> number = parseNumberText(m_input->text())) {
                const QSignalBlocker quiet(m_tick);
                const double bounded = std::clamp(*number, double(m_tick->minimum()), double(m_tick->maximum()));
                m_tick->setValue(int(std::nearbyint(bounded)));
            }
        }
        return false;
    }

private:
    QSpinBox *m_tick;
    QLineEdit *m_input;
};

} // namespace

AdjustmentFields::AdjustmentFields(const MainWindowForm &form, UserPrompts &prompts, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_prompts(prompts)
    , m_focusRules(new FieldFocusRules(this))
{
    for (QLineEdit *input : {form.widthInput, form.heightInput, form.brightInput, form.contrastInput}) {
        m_focusRules->addField(input, [this, input] {
            return ValidateAdjustmentField(input->objectName(), input->text(), ScreenTwips{}, m_prompts);
        });
    }
    m_focusRules->addField(form.capInput);
    bindTick(form.widthTick, form.widthInput);
    bindTick(form.heightTick, form.heightInput);
    bindTick(form.brightTick, form.brightInput);
    bindTick(form.contrastTick, form.contrastInput);
    limitDescription();

    connect(form.filterCombo, &QComboBox::currentIndexChanged, this,
            [this](int position) { m_selections.filterSelected(position); });
    connect(form.qualityCombo, &QComboBox::currentIndexChanged, this,
            [this](int position) { m_selections.qualitySelected(position); });
    // Only typing is checked: picking an entry sets the text as well.
    connect(form.qualityCombo->lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        // A typed text selects the entry it names, or none; the text and the
        // caret stay as typed.
        QLineEdit *edit = m_form.qualityCombo->lineEdit();
        const int caret = edit->cursorPosition();
        {
            const QSignalBlocker quiet(m_form.qualityCombo);
            m_form.qualityCombo->setCurrentIndex(m_form.qualityCombo->findText(text, Qt::MatchExactly));
        }
        if (edit->text() != text) {
            edit->setText(text);
            edit->setCursorPosition(caret);
        }
        m_selections.qualityTyped(text, m_prompts);
    });
    // The lists were filled before they were watched; their first positions
    // give the two codes their first values.
    selectListPositions(form.filterCombo->currentIndex(), form.qualityCombo->currentIndex());
}

void AdjustmentFields::bindTick(QSpinBox *tick, QLineEdit *input)
{
    tick->installEventFilter(new TickFollowsField(tick, input));
    connect(tick, &QSpinBox::valueChanged, input, [input](int value) { input->setText(QString::number(value)); });
}

void AdjustmentFields::limitDescription()
{
    QPlainTextEdit *description = m_form.capInput;
    connect(description, &QPlainTextEdit::textChanged, this, [description] {
        const QString text = description->toPlainText();
        if (text.size() <= kDescriptionLimit)
            return;
        // What went past the limit is dropped where it was typed or pasted.
        QTextCursor cursor = description->textCursor();
        const int excess = int(text.size()) - kDescriptionLimit;
        const int end = cursor.position();
        const int start = std::max(0, end - excess);
        const QSignalBlocker quiet(description);
        QString kept = text;
        kept.remove(start, end - start);
        if (kept.size() > kDescriptionLimit)
            kept.truncate(kDescriptionLimit);
        description->setPlainText(kept);
        cursor = description->textCursor();
        cursor.setPosition(std::min(start, int(kept.size())));
        description->setTextCursor(cursor);
    });
}

AdjustmentFieldValues AdjustmentFields::values() const
{
    AdjustmentFieldValues values;
    values.widthPercent = m_form.widthInput->text();
    values.heightPercent = m_form.heightInput->text();
    values.brightness = m_form.brightInput->text();
    values.contrast = m_form.contrastInput->text();
    values.filterPosition = m_form.filterCombo->currentIndex();
    values.qualityPosition = m_form.qualityCombo->currentIndex();
    values.description = m_form.capInput->toPlainText();
    return values;
}

void AdjustmentFields::ShowRecordInFields(const AdjustmentFieldValues &values)
{
    m_form.widthInput->setText(values.widthPercent);
    m_form.heightInput->setText(values.heightPercent);
    m_form.brightInput->setText(values.brightness);
    m_form.contrastInput->setText(values.contrast);
    selectListPositions(values.filterPosition, values.qualityPosition);
    m_form.capInput->setPlainText(values.description);
}

void AdjustmentFields::selectListPositions(int filterPosition, int qualityPosition)
{
    // The selection rules run even when the position does not change.
    const auto select = [](QComboBox *list, int position) {
        const int valid = position >= 0 && position < list->count() ? position : -1;
        if (list->currentIndex() == valid)
            emit list->currentIndexChanged(valid);
        else
            list->setCurrentIndex(valid);
    };
    select(m_form.filterCombo, filterPosition);
    select(m_form.qualityCombo, qualityPosition);
}

bool AdjustmentFields::holdsRefusedField() const
{
    return m_focusRules->holdsRefusedField();
}

bool AdjustmentFields::checkFields()
{
    return m_focusRules->checkFields();
}

} // namespace tovin
