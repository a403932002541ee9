#pragma once

#include "jpegdecoder.h"

#include <QByteArray>
#include <QFile>
#include <QSize>
#include <QString>

#include <cstdint>
#include <span>

namespace tovin {

// The bytes of one image file, read once and then decoded from memory by our
// own JPEG decoder, which bounds what a hostile file can cost.
class EncodedImageFile
{
public:
    explicit EncodedImageFile(const QString &path);
    EncodedImageFile(const EncodedImageFile &) = delete;
    EncodedImageFile &operator=(const EncodedImageFile &) = delete;

    // False when the file could not be opened and read.
    bool isReadable() const { return m_readable; }
    // The size its header states, whatever it is; 0 x 0 when the file cannot
    // be read, is not in the format, or is too short for the size it claims.
    QSize size(std::int32_t format) const;
    // A scale denominator of 2, 4 or 8 decodes at that fraction.
    DecodedJpeg decode(std::int32_t format, int scaleDenominator = 1) const;

private:
    std::span<const unsigned char> bytes() const { return {m_bytes, size_t(m_length)}; }

    QFile m_file;
    bool m_readable = false;
    const uchar *m_bytes = nullptr;
    qint64 m_length = 0;
    QByteArray m_readBytes;
};

} // namespace tovin
