#pragma once

#include <QIcon>

namespace tovin {

// The pictures of the main window's picture buttons.
enum class ButtonPicture { BrowseFolder, Preview, Save, Clear, TrashAll, About };

// The desktop's icon for the purpose when its theme has one that reads
// well, else a picture of our own drawn at `size` pixels.
QIcon buttonPicture(ButtonPicture which, int size);

// Themes looked in when the desktop names none (a bare X server, a
// minimal session).
void useFallbackIconTheme();

} // namespace tovin
