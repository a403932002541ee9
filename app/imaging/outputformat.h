#pragma once

#include <QString>

#include <cstdint>

namespace tovin {

// What a scaled image is written as, apart from what it was read as: every
// source is a JPEG file, whatever the output. Another output format is one
// more kind here and one more line in outputformat.cpp's table.
struct OutputFormat {
    enum class Kind { Jpeg };

    Kind kind = Kind::Jpeg;
    // Handed to the encoder as they are. JPEG: 0 for the library's default
    // quality, a quality 1..100, or JPEG_QUALITYSUPERB, _NORMAL or _AVERAGE.
    std::int32_t saveFlags = 0;

    // The extension of numbered output names, with its dot: ".jpg".
    QString extension() const;
    // The image library's code for the encoder.
    std::int32_t libraryFormat() const;
    // Whether an output that changes nothing may be the source's bytes:
    // only in the sources' own format and with the library's default flags.
    bool keepsSourceBytes() const;
};

} // namespace tovin
