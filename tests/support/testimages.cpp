#include "testimages.h"

#include "testenvironment.h"

#include <FreeImage.h>

#include <QFile>

#include <algorithm>
#include <array>

namespace tovin::test {

bool writeTestJpeg(const QString &path, QSize size, int quality)
{
    FIBITMAP *bitmap = FreeImage_Allocate(size.width(), size.height(), 24);
    if (!bitmap)
        return false;
    for (int y = 0; y < size.height(); ++y) {
        BYTE *line = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < size.width(); ++x) {
            line[x * 3 + FI_RGBA_RED] = BYTE(x * 255 / std::max(1, size.width() - 1));
            line[x * 3 + FI_RGBA_GREEN] = BYTE(y * 255 / std::max(1, size.height() - 1));
            line[x * 3 + FI_RGBA_BLUE] = BYTE((x + y) % 256);
        }
    }
    const bool saved = FreeImage_Save(FIF_JPEG, bitmap, QFile::encodeName(path).constData(), quality) == TRUE;
    FreeImage_Unload(bitmap);
    return saved;
}

QList<int> firstQuantisationTable(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    for (qsizetype at = 2; at + 4 < bytes.size();) {
        if (uchar(bytes[at]) != 0xFF)
            return {};
        const uchar marker = uchar(bytes[at + 1]);
        const int length = (uchar(bytes[at + 2]) << 8) | uchar(bytes[at + 3]);
        if (marker == 0xDB && at + 5 + 64 <= bytes.size()) {
            QList<int> table;
            for (int i = 0; i < 64; ++i)
                table << uchar(bytes[at + 5 + i]);
            return table;
        }
        at += 2 + length;
    }
    return {};
}

QList<int> expectedLuminanceTable(int quality)
{
    // The standard luminance table, in the zig-zag order files store it in.
    static constexpr std::array<int, 64> kBase{
        16, 11,  12, 14, 12, 10, 16,  14,  13,  14, 18, 17,  16,  19,  24,  40,  26, 24,  22,  22, 24, 49,
        35, 37,  29, 40, 58, 51, 61,  60,  57,  51, 56, 55,  64,  72,  92,  78,  64, 68,  87,  69, 55, 56,
        80, 109, 81, 87, 95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    QList<int> table;
    for (int value : kBase)
        table << std::clamp((value * scale + 50) / 100, 1, 255);
    return table;
}

} // namespace tovin::test
