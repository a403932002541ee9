#include "outputformat.h"

#include <FreeImage.h>

#include <array>

namespace tovin {
namespace {

struct FormatTraits {
    FREE_IMAGE_FORMAT library;
    const char *extension;
    bool isSourceFormat;
};

// One line per kind, in the order of OutputFormat::Kind.
constexpr std::array<FormatTraits, 1> kFormats{{
    {FIF_JPEG, ".jpg", true},
}};

const FormatTraits &traitsOf(OutputFormat::Kind kind)
{
    return kFormats[std::size_t(kind)];
}

} // namespace

QString OutputFormat::extension() const
{
    return QLatin1String(traitsOf(kind).extension);
}

std::int32_t OutputFormat::libraryFormat() const
{
    return traitsOf(kind).library;
}

bool OutputFormat::keepsSourceBytes() const
{
    return traitsOf(kind).isSourceFormat && saveFlags == 0;
}

} // namespace tovin
