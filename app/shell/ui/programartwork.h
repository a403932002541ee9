#pragma once

#include <QPixmap>

namespace tovin {

// The program's own pictures, drawn rather than shipped: the emblem (a photo
// under a lens) and the splash picture built around it.
QPixmap programEmblem(int size);
QPixmap splashPicture();

} // namespace tovin
