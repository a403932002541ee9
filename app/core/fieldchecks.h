#pragma once

#include <QSizeF>
#include <QString>

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
// empty text; a file name refuses : * / < ? > \ | and the double quote.
bool CheckForbiddenCharacters(const QString &text, bool isPath, UserPrompts &prompts);

} // namespace tovin
