#pragma once

#include "freeimagebitmap.h"

#include <QByteArray>
#include <QFile>
#include <QSize>
#include <QString>

#include <cstdint>

namespace tovin {

// The bytes of one image file, read once and then decoded from memory: first
// the header alone, to learn the size before any pixel memory is asked for,
// then, when the size is sane, the whole picture.
class EncodedImageFile
{
public:
    explicit EncodedImageFile(const QString &path);
    ~EncodedImageFile();
    EncodedImageFile(const EncodedImageFile &) = delete;
    EncodedImageFile &operator=(const EncodedImageFile &) = delete;

    // 0 x 0 when the file cannot be read, is not in the format, or claims
    // more pixels than a picture can sensibly have.
    QSize size(std::int32_t format);
    // Null under the same conditions.
    Bitmap decode(std::int32_t format);

private:
    Bitmap load(std::int32_t format, int flags);

    QFile m_file;
    const uchar *m_bytes = nullptr;
    qint64 m_length = 0;
    QByteArray m_readBytes;
};

} // namespace tovin
