#include "adjustmentcodes.h"

#include <FreeImage.h>

namespace tovin {

std::int32_t filterCodeForPosition(int position)
{
    switch (position) {
    case 1:
        return FILTER_BOX;
    case 2:
        return FILTER_BILINEAR;
    case 4:
        return FILTER_BSPLINE;
    default:
        return FILTER_BICUBIC;
    }
}

std::optional<std::int32_t> saveQualityForPosition(int position)
{
    switch (position) {
    case 0:
        return 100;
    case 1:
        return JPEG_QUALITYAVERAGE;
    case 2:
        return JPEG_QUALITYNORMAL;
    case 3:
        return JPEG_QUALITYSUPERB;
    default:
        return std::nullopt;
    }
}

} // namespace tovin
