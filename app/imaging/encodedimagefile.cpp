#include "encodedimagefile.h"

#include "imageengine.h"

namespace tovin {

EncodedImageFile::EncodedImageFile(const QString &path)
    : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly))
        return;
    m_length = m_file.size();
    m_bytes = m_length > 0 ? m_file.map(0, m_length) : nullptr;
    if (!m_bytes && m_length > 0) {
        // Files that cannot be mapped (some special file systems) are read.
        m_readBytes = m_file.readAll();
        if (m_file.error() != QFileDevice::NoError)
            return;
        m_bytes = reinterpret_cast<const uchar *>(m_readBytes.constData());
        m_length = m_readBytes.size();
    }
    m_readable = true;
}

QSize EncodedImageFile::size(std::int32_t format) const
{
    // Only JPEG is read anywhere in the program.
    if (format != kFormatJpeg || !m_readable)
        return {0, 0};
    return readJpegSize(bytes()).value_or(QSize(0, 0));
}

DecodedJpeg EncodedImageFile::decode(std::int32_t format, int scaleDenominator) const
{
    if (format != kFormatJpeg || !m_readable)
        return {nullptr, DecodeFailure::NotDecodable};
    return decodeJpeg(bytes(), scaleDenominator);
}

} // namespace tovin
