#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tovin::test {

// A photo as phones and cameras write them, made with Exiv2 over a test
// JPEG: a GPS position in EXIF and XMP, an IPTC and XMP city, the serial
// numbers of body and lens, the owner's name, Nikon maker notes and an EXIF
// thumbnail; and what a published photo keeps: orientation 6, capture date,
// make and model, exposure, copyright and description. With a profile, it
// is tagged with it.
bool writeCameraPhoto(const QString &path, QSize size, const QByteArray &iccProfile = {});

// What writeCameraPhoto puts in that may not be published, as key parts
// ("GPS", "Serial", ...), and the keys that must stay.
extern const QStringList kPrivateKeyParts;
extern const QStringList kKeptKeys;

// Adobe RGB (1998) as Little CMS builds it from the colour space's
// primaries, white point and gamma. A gamma tabulated with many entries
// makes it larger than one JPEG segment holds.
QByteArray adobeRgbProfile(int tabulatedEntries = 0);

// The metadata keys of a JPEG file as Exiv2 reads them
// ("Exif.GPSInfo.GPSLatitude", "Xmp.photoshop.City", ...).
QStringList metadataKeys(const QString &path);

// The colour profile of a JPEG file as Exiv2 reads it; empty without one.
QByteArray colourProfileOfFile(const QString &path);

// A JPEG's scans: from the first scan's marker to the end.
QByteArray scanData(const QByteArray &jpeg);

} // namespace tovin::test
