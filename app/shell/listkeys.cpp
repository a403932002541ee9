#include "listkeys.h"

namespace tovin {

ListKeyAction listKeyAction(int key, Qt::KeyboardModifiers modifiers, std::optional<ListEntryKind> selected, bool moved)
{
    if (key == Qt::Key_Backspace)
        return ListKeyAction::GoUp;
    if (!selected)
        return ListKeyAction::Nothing;
    const bool image = *selected == ListEntryKind::Image;
    // The keypad is where a key came from, not a modifier the user holds.
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    const ListKeyAction landedOn = image ? ListKeyAction::OpenImage : ListKeyAction::Nothing;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return landedOn;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return image ? ListKeyAction::OpenImage : ListKeyAction::EnterFolder;
    case Qt::Key_R:
        if (image && held == Qt::ControlModifier)
            return ListKeyAction::DeleteImageRecord;
        if (image && held == (Qt::ControlModifier | Qt::ShiftModifier))
            return ListKeyAction::DeleteAllRecords;
        break;
    default:
        break;
    }
    return moved ? landedOn : ListKeyAction::Nothing;
}

} // namespace tovin
