#pragma once

#include <QSizeF>
#include <QString>

#include <optional>

namespace tovin {

class UserPrompts;

// The field checks the windows run when the user leaves a field. Each shows
// one message with an exclamation icon when it refuses, and answers whether
// the text may be used. Fields are named as on the windows ("widthInput",
// "qualityCombo", "slide_x", ...).

// The screen in twips, which bounds the album's positions and sizes.
struct ScreenTwips {
    double width = 0;
    double height = 0;
};

bool ValidateAdjustmentField(const QString &field, const QString &text, ScreenTwips screen, UserPrompts &prompts);

// A folder path (isPath) refuses * / < ? > | and the double quote, and an
// empty text; a file name refuses : * / < ? > \ | and the double quote. Both
// refuse control characters, which no one sees in a field and no album can
// name: that message gives the character's code and begins with the field's
// name, when one is given ("Save As:").
bool CheckForbiddenCharacters(const QString &text, bool isPath, UserPrompts &prompts, const QString &fieldName = {});

// The first control character of a text (U+0000 to U+001F, U+007F to U+009F).
std::optional<QChar> firstControlCharacter(const QString &text);
// A character as its code: "U+0001".
QString characterCode(QChar c);

} // namespace tovin
