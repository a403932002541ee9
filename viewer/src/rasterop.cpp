#include "rasterop.h"

namespace lensbox {

std::optional<QPainter::CompositionMode> compositionFor(qint32 opcode)
{
    switch (opcode) {
    case kSourceCopy:
        return QPainter::CompositionMode_SourceOver;
    case 0x00EE0086: // source OR destination
        return QPainter::RasterOp_SourceOrDestination;
    case 0x008800C6: // source AND destination
        return QPainter::RasterOp_SourceAndDestination;
    case 0x00660046: // source XOR destination
        return QPainter::RasterOp_SourceXorDestination;
    case 0x00440328: // source AND NOT destination
        return QPainter::RasterOp_SourceAndNotDestination;
    case 0x00330008: // NOT source
        return QPainter::RasterOp_NotSource;
    case 0x001100A6: // NOT (source OR destination)
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case 0x00BB0226: // NOT source OR destination
        return QPainter::RasterOp_NotSourceOrDestination;
    case 0x00550009: // NOT destination
        return QPainter::RasterOp_NotDestination;
    default:
        return std::nullopt;
    }
}

} // namespace lensbox
