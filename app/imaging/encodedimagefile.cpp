#include "encodedimagefile.h"

#include "imageengine.h"

namespace tovin {

EncodedImageFile::EncodedImageFile(const QString &path)
    : m_file(path)
{
    ensureFreeImage();
    if (!m_file.open(QIODevice::ReadOnly))
        return;
    m_length = m_file.size();
    m_bytes = m_length > 0 ? m_file.map(0, m_length) : nullptr;
    if (!m_bytes && m_length > 0) {
        // Files that cannot be mapped (some special file systems) are read.
        m_readBytes = m_file.readAll();
        m_bytes = reinterpret_cast<const uchar *>(m_readBytes.constData());
        m_length = m_readBytes.size();
    }
}

EncodedImageFile::~EncodedImageFile() = default;

Bitmap EncodedImageFile::load(std::int32_t format, int flags)
{
    if (!m_bytes || m_length <= 0 || m_length > INT32_MAX)
        return nullptr;
    // The library only reads through this pointer.
    FIMEMORY *memory = FreeImage_OpenMemory(const_cast<BYTE *>(m_bytes), DWORD(m_length));
    Bitmap bitmap(FreeImage_LoadFromMemory(FREE_IMAGE_FORMAT(format), memory, flags));
    FreeImage_CloseMemory(memory);
    return bitmap;
}

QSize EncodedImageFile::size(std::int32_t format)
{
    const Bitmap header = load(format, FIF_LOAD_NOPIXELS);
    if (!header)
        return {0, 0};
    const std::int64_t width = FreeImage_GetWidth(header.get());
    const std::int64_t height = FreeImage_GetHeight(header.get());
    if (width <= 0 || height <= 0 || width * height > kMaxImagePixels)
        return {0, 0};
    return {int(width), int(height)};
}

Bitmap EncodedImageFile::decode(std::int32_t format)
{
    if (size(format).isEmpty())
        return nullptr;
    return load(format, 0);
}

} // namespace tovin
