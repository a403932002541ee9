#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>

#include <functional>
#include <utility>

namespace tovin::test {

// A test JPEG written by libjpeg's own encoder, in the forms other programs
// write and the image library cannot.
struct JpegRecipe {
    QSize size{61, 47};
    int components = 3; // 1 grey, 3 colour, 4 CMYK
    bool ycck = false;
    QSize lumaSampling{2, 2}; // 1 x 1: 4:4:4, 2 x 1: 4:2:2, 2 x 2: 4:2:0
    bool progressive = false;
    bool arithmetic = false;
    int restartRows = 0;
    int quality = 85;
    // A smooth gradient compresses far better than the default texture.
    bool smooth = false;
    int densityUnit = 0;
    int xDensity = 1;
    int yDensity = 1;
    // APPn or COM segments written after the header: marker and contents.
    QList<std::pair<int, QByteArray>> segments{};
};

QByteArray encodeJpeg(const JpegRecipe &recipe);

// Where the first segment whose marker is wanted starts (at its 0xFF), or -1.
qsizetype segmentAt(const QByteArray &jpeg, const std::function<bool(uchar)> &wanted);

// The header's size fields replaced, so a small file claims a huge picture.
QByteArray withClaimedSize(QByteArray jpeg, QSize size);

// Segments as cameras and editors write them.
QByteArray exifSegment(int orientation, const QByteArray &thumbnail = {});
QByteArray xmpSegment();
QByteArray iptcSegment();
// An ICC profile split over as many APP2 segments as its size needs.
QList<std::pair<int, QByteArray>> iccSegments(int profileBytes);

} // namespace tovin::test
