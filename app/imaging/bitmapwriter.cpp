#include "bitmapwriter.h"

#include "fileio.h"
#include "runtimeerror.h"

#include <FreeImage.h>

#include <cstdio>

namespace tovin {
namespace {

QFileDevice *fileOf(fi_handle handle)
{
    return static_cast<QFileDevice *>(handle);
}

unsigned DLL_CALLCONV readNothing(void *, unsigned, unsigned, fi_handle)
{
    return 0;
}

unsigned DLL_CALLCONV writeToFile(void *buffer, unsigned size, unsigned count, fi_handle handle)
{
    const qint64 bytes = qint64(size) * count;
    return writeWhole(*fileOf(handle), static_cast<const char *>(buffer), bytes) ? count : 0;
}

int DLL_CALLCONV seekInFile(fi_handle handle, long offset, int origin)
{
    QFileDevice *file = fileOf(handle);
    qint64 base = 0;
    if (origin == SEEK_CUR)
        base = file->pos();
    else if (origin == SEEK_END)
        base = file->size();
    return file->seek(base + offset) ? 0 : -1;
}

long DLL_CALLCONV tellInFile(fi_handle handle)
{
    return long(fileOf(handle)->pos());
}

} // namespace

bool saveBitmapReplacing(FIBITMAP *bitmap, const OutputFormat &format, const QString &destination, WriteMode mode)
{
    if (!bitmap)
        return false;
    OutputFile output(destination, mode);
    QFileDevice &file = output.device();
    if (!output.open())
        throw writeFailure(destination, file);
    FreeImageIO io{readNothing, writeToFile, seekInFile, tellInFile};
    const bool encoded =
        FreeImage_SaveToHandle(FREE_IMAGE_FORMAT(format.libraryFormat()), bitmap, &io, &file, format.saveFlags) == TRUE;
    if (file.error() != QFileDevice::NoError)
        throw writeFailure(destination, file);
    if (!encoded)
        return false;
    if (!output.commit())
        throw writeFailure(destination, file);
    return true;
}

} // namespace tovin
