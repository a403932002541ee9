#pragma once

#include "batchjob.h"

#include <QSizeF>

namespace tovin {

// The batch window's client area as designed, all three columns showing.
inline constexpr QSizeF kBatchWindowDesignTwips{10485, 7005};

// The window size an option click gives, in twips: "&Scale Only" shows the
// left column alone; the album modes show all three columns across the main
// window's width.
QSizeF batchWindowTwips(BatchMode mode, double mainWindowWidthTwips);

} // namespace tovin
