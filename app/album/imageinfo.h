#pragma once

#include <QString>

namespace tovin {

// What an image file costs on the web, in three lines: its size in
// kilobytes, its download time over a 28.8 kbit/s modem and its pixel size.
// A file that cannot be read, or a side beyond 16 bits, raises RuntimeError.
QString imageInfoText(const QString &path);

// Two more lines for the web: the name of the photo's colour profile (or
// "none"), and whether it carries a GPS position.
QString publishingInfoText(const QString &path);

} // namespace tovin
