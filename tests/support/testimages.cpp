#include "testimages.h"

#include "jpegrecipes.h"
#include "testenvironment.h"

#include <QFile>
#include <QProcess>

#include <algorithm>
#include <array>

namespace tovin::test {

bool writeTestJpeg(const QString &path, QSize size, int quality)
{
    return writeBytes(path, encodeJpeg({.size = size, .quality = quality, .smooth = true}));
}

bool writeTaggedPhotos(const QList<std::pair<QString, QStringList>> &photos)
{
    const QString source = sharedTestData() + QStringLiteral("/orientation/Landscape_1.jpg");
    QStringList arguments;
    for (const auto &[path, tags] : photos) {
        if (!QFile::copy(source, path) || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
            return false;
        for (const QString &tag : tags)
            arguments << u'-' + tag;
        if (!tags.isEmpty())
            arguments << path << QStringLiteral("-execute");
    }
    if (arguments.isEmpty())
        return true;
    // -n writes the values raw, so that invalid dates go in too.
    arguments << QStringLiteral("-common_args") << QStringLiteral("-n") << QStringLiteral("-q")
              << QStringLiteral("-overwrite_original");
    QProcess exiftool;
    exiftool.start(QStringLiteral("exiftool"), arguments);
    return exiftool.waitForFinished(60000) && exiftool.exitStatus() == QProcess::NormalExit && exiftool.exitCode() == 0;
}

QList<int> firstQuantisationTable(const QString &path)
{
    const QByteArray bytes = readBytes(path);
    const qsizetype at = segmentAt(bytes, [](uchar marker) { return marker == 0xDB; });
    QList<int> table;
    for (int i = 0; at >= 0 && i < 64 && at + 5 + i < bytes.size(); ++i)
        table << uchar(bytes[at + 5 + i]);
    return table;
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
