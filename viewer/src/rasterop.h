#pragma once

#include <QPainter>

#include <optional>

namespace lensbox {

// How a raster operation code of PaintPicture (0xCC0020 plain copy, 0x8800C6
// AND, 0x660046 XOR ...) combines the picture with the canvas. Nothing for a
// code the canvas cannot draw.
std::optional<QPainter::CompositionMode> compositionFor(qint32 opcode);

inline constexpr qint32 kSourceCopy = 0x00CC0020;

} // namespace lensbox
