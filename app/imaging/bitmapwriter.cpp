#include "bitmapwriter.h"

#include <FreeImage.h>

#include <QBuffer>

#include <cstdio>

namespace tovin {
namespace {

QIODevice *deviceOf(fi_handle handle)
{
    return static_cast<QIODevice *>(handle);
}

unsigned DLL_CALLCONV readNothing(void *, unsigned, unsigned, fi_handle)
{
    return 0;
}

unsigned DLL_CALLCONV writeToDevice(void *buffer, unsigned size, unsigned count, fi_handle handle)
{
    const qint64 bytes = qint64(size) * count;
    return deviceOf(handle)->write(static_cast<const char *>(buffer), bytes) == bytes ? count : 0;
}

int DLL_CALLCONV seekInDevice(fi_handle handle, long offset, int origin)
{
    QIODevice *device = deviceOf(handle);
    qint64 base = 0;
    if (origin == SEEK_CUR)
        base = device->pos();
    else if (origin == SEEK_END)
        base = device->size();
    return device->seek(base + offset) ? 0 : -1;
}

long DLL_CALLCONV tellInDevice(fi_handle handle)
{
    return long(deviceOf(handle)->pos());
}

} // namespace

std::optional<QByteArray> encodeBitmap(FIBITMAP *bitmap, const OutputFormat &format)
{
    if (!bitmap)
        return std::nullopt;
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    FreeImageIO io{readNothing, writeToDevice, seekInDevice, tellInDevice};
    if (FreeImage_SaveToHandle(FREE_IMAGE_FORMAT(format.libraryFormat()), bitmap, &io, &buffer, format.saveFlags)
        != TRUE)
        return std::nullopt;
    return encoded;
}

} // namespace tovin
