#include "encodedimagefile.h"

namespace tovin {

EncodedImageFile::EncodedImageFile(const QString &path)
    : m_file(path)
{
    // Read, never mapped: another program may rewrite or cut the file short
    // while a run has it, and touching a mapped page past the new end kills
    // the process. Unbuffered, as the decoder reads large pieces itself.
    m_readable = m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

QSize EncodedImageFile::size()
{
    if (!m_readable)
        return {0, 0};
    // Asked for before and after a reduced decode: the header is read once.
    if (!m_size)
        m_size = readJpegSize(&m_file).value_or(QSize(0, 0));
    return *m_size;
}

DecodedJpeg EncodedImageFile::decode(int scaleDenominator)
{
    if (!m_readable)
        return {nullptr, DecodeFailure::NotDecodable};
    return decodeJpeg(&m_file, scaleDenominator);
}

} // namespace tovin
