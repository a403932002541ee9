#pragma once

#include "jpegdecoder.h"

#include <QFile>
#include <QSize>
#include <QString>

#include <optional>

namespace tovin {

// One JPEG file, kept open and decoded by our own JPEG decoder, which bounds
// what a hostile file can cost.
class EncodedImageFile
{
public:
    explicit EncodedImageFile(const QString &path);
    EncodedImageFile(const EncodedImageFile &) = delete;
    EncodedImageFile &operator=(const EncodedImageFile &) = delete;

    // False when the file could not be opened.
    bool isReadable() const { return m_readable; }
    // The size its header states, whatever it is; 0 x 0 when the file cannot
    // be read, is no JPEG, or is too short for the size it claims.
    QSize size();
    // A scale denominator of 2, 4 or 8 decodes at that fraction.
    DecodedJpeg decode(int scaleDenominator = 1);

private:
    QFile m_file;
    bool m_readable = false;
    std::optional<QSize> m_size;
};

} // namespace tovin
