#pragma once

#include "imagelisting.h"

#include <Qt>

#include <optional>

namespace tovin {

// What a key released in the image list does to the selected entry.
enum class ListKeyAction {
    Nothing,
    OpenImage, // LoadImageRecord with the entry's key
    EnterFolder, // ListFolder with the entry's key
    DeleteImageRecord, // the image's row of the Record List
    DeleteAllRecords, // every row of the Record List
    GoUp, // ListFolder with the up entry's key, whatever is selected
};

// `selected` is empty when no entry is selected; `moved` tells that the key
// made another entry the current one (typing its first letter, say). Every
// key that moves the selection opens the image it lands on, so the fields
// and the preview always belong to the selected image.
ListKeyAction listKeyAction(int key, Qt::KeyboardModifiers modifiers, std::optional<ListEntryKind> selected,
                            bool moved);

} // namespace tovin
