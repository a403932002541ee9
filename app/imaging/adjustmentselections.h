#pragma once

#include <QString>

#include <cstdint>

namespace tovin {

class UserPrompts;

// The resampling filter and the JPEG save flags the main window's two lists
// stand for. Both start at 0 and follow the lists from the first selection
// on, whether the user or the program made it.
class AdjustmentSelections
{
public:
    std::int32_t SelectedFilter = 0;
    std::int32_t SaveQuality = 0;

    // A filter-list position, -1 for no selection.
    void filterSelected(int position);
    // A quality-list position; no selection leaves the flags as they were.
    void qualitySelected(int position);
    // A quality typed into the list: an accepted number becomes the quality,
    // rounded; a refused one is told at once and leaves the library default 0.
    void qualityTyped(const QString &text, UserPrompts &prompts);
};

} // namespace tovin
