#include "listkeys.h"

namespace tovin {

ListKeyAction listKeyAction(int key, Qt::KeyboardModifiers modifiers, std::optional<ListEntryKind> selected)
{
    if (key == Qt::Key_Backspace)
        return ListKeyAction::GoUp;
    if (!selected)
        return ListKeyAction::Nothing;
    const bool image = *selected == ListEntryKind::Image;
    // The keypad is where a key came from, not a modifier the user holds.
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        return image ? ListKeyAction::OpenImage : ListKeyAction::Nothing;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return image ? ListKeyAction::OpenImage : ListKeyAction::EnterFolder;
    case Qt::Key_R:
        if (!image)
            return ListKeyAction::Nothing;
        if (held == Qt::ControlModifier)
            return ListKeyAction::DeleteImageRecord;
        if (held == (Qt::ControlModifier | Qt::ShiftModifier))
            return ListKeyAction::DeleteAllRecords;
        return ListKeyAction::Nothing;
    default:
        return ListKeyAction::Nothing;
    }
}

} // namespace tovin
