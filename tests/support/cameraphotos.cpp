#include "cameraphotos.h"

#include "jpegrecipes.h"
#include "testimages.h"

#include <exiv2/exiv2.hpp>
#include <lcms2.h>

#include <cmath>
#include <vector>

namespace tovin::test {

const QStringList kPrivateKeyParts{"GPS", "Serial", "Owner", "MakerNote", "Nikon", "Thumbnail", "City"};
const QStringList kKeptKeys{"Exif.Image.Orientation", "Exif.Photo.DateTimeOriginal", "Exif.Image.Make",
                            "Exif.Image.Model",       "Exif.Photo.ExposureTime",     "Exif.Photo.FNumber",
                            "Exif.Image.Copyright",   "Exif.Image.ImageDescription", "Iptc.Application2.Caption"};

namespace {

void setValue(Exiv2::ExifData &exif, const char *key, Exiv2::TypeId type, const char *text)
{
    auto value = Exiv2::Value::create(type);
    value->read(text);
    exif.add(Exiv2::ExifKey(key), value.get());
}

} // namespace

bool writeCameraPhoto(const QString &path, QSize size, const QByteArray &iccProfile)
{
    if (!writeTestJpeg(path, size))
        return false;
    try {
        auto image = Exiv2::ImageFactory::open(path.toStdString());
        image->readMetadata();
        Exiv2::ExifData &exif = image->exifData();
        exif["Exif.Image.Make"] = "NIKON CORPORATION";
        exif["Exif.Image.Model"] = "NIKON D750";
        exif["Exif.Image.Orientation"] = std::uint16_t(6);
        exif["Exif.Image.ImageDescription"] = "At the falls";
        exif["Exif.Image.Copyright"] = "Jane Doe";
        exif["Exif.Photo.DateTimeOriginal"] = "2024:07:14 10:11:12";
        setValue(exif, "Exif.Photo.ExposureTime", Exiv2::unsignedRational, "1/250");
        setValue(exif, "Exif.Photo.FNumber", Exiv2::unsignedRational, "8/1");
        exif["Exif.Photo.BodySerialNumber"] = "3012345";
        exif["Exif.Photo.LensSerialNumber"] = "20011";
        exif["Exif.Photo.CameraOwnerName"] = "Jane Doe";
        exif["Exif.Nikon3.SerialNumber"] = "3012345";
        exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
        setValue(exif, "Exif.GPSInfo.GPSLatitude", Exiv2::unsignedRational, "46/1 33/1 3096/100");
        exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
        setValue(exif, "Exif.GPSInfo.GPSLongitude", Exiv2::unsignedRational, "7/1 54/1 1200/100");
        const QByteArray thumbnail = encodeJpeg({.size = {160, 120}});
        Exiv2::ExifThumb(exif).setJpegThumbnail(reinterpret_cast<const Exiv2::byte *>(thumbnail.constData()),
                                                long(thumbnail.size()));
        Exiv2::XmpData &xmp = image->xmpData();
        xmp["Xmp.exif.GPSLatitude"] = "46,33.516N";
        xmp["Xmp.exif.GPSLongitude"] = "7,54.2E";
        xmp["Xmp.photoshop.City"] = "Lauterbrunnen";
        xmp["Xmp.aux.SerialNumber"] = "3012345";
        xmp["Xmp.dc.title"] = "Staubbach";
        Exiv2::IptcData &iptc = image->iptcData();
        iptc["Iptc.Application2.City"] = "Lauterbrunnen";
        iptc["Iptc.Application2.Caption"] = "At the falls";
        if (!iccProfile.isEmpty()) {
            Exiv2::DataBuf profile(reinterpret_cast<const Exiv2::byte *>(iccProfile.constData()),
                                   long(iccProfile.size()));
            image->setIccProfile(profile);
        }
        image->writeMetadata();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

QByteArray adobeRgbProfile(int tabulatedEntries)
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    const double gamma = 563.0 / 256;
    cmsToneCurve *curve = nullptr;
    if (tabulatedEntries > 0) {
        std::vector<float> table;
        for (int i = 0; i < tabulatedEntries; ++i)
            table.push_back(float(std::pow(double(i) / (tabulatedEntries - 1), gamma)));
        curve = cmsBuildTabulatedToneCurveFloat(nullptr, cmsUInt32Number(tabulatedEntries), table.data());
    } else {
        curve = cmsBuildGamma(nullptr, gamma);
    }
    cmsToneCurve *curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(curve);
    cmsMLU *name = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(name, "en", "US", "Adobe RGB (1998)");
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, name);
    cmsMLUfree(name);
    cmsSetProfileVersion(profile, 2.1);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

QStringList metadataKeys(const QString &path)
{
    QStringList keys;
    try {
        auto image = Exiv2::ImageFactory::open(path.toStdString());
        image->readMetadata();
        for (const Exiv2::Exifdatum &datum : image->exifData())
            keys << QString::fromStdString(datum.key());
        for (const Exiv2::Xmpdatum &datum : image->xmpData())
            keys << QString::fromStdString(datum.key());
        for (const Exiv2::Iptcdatum &datum : image->iptcData())
            keys << QString::fromStdString(datum.key());
    } catch (const std::exception &error) {
        keys << QStringLiteral("(unreadable: %1)").arg(QString::fromLocal8Bit(error.what()));
    }
    return keys;
}

QByteArray colourProfileOfFile(const QString &path)
{
    try {
        auto image = Exiv2::ImageFactory::open(path.toStdString());
        image->readMetadata();
        if (!image->iccProfileDefined())
            return {};
        const Exiv2::DataBuf *profile = image->iccProfile();
        return QByteArray(reinterpret_cast<const char *>(profile->pData_), qsizetype(profile->size_));
    } catch (const std::exception &) {
        return {};
    }
}

QByteArray scanData(const QByteArray &jpeg)
{
    const qsizetype at = segmentAt(jpeg, [](uchar marker) { return marker == 0xDA; });
    return at < 0 ? QByteArray() : jpeg.mid(at);
}

} // namespace tovin::test
