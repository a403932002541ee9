#pragma once

#include <QList>
#include <QPixmap>

namespace lensbox {

inline constexpr int kQuickToolImageSize = 18;

// The quick toolbar's images in button order: zoom in, zoom out, maximize.
QList<QPixmap> quickToolImages();

} // namespace lensbox
