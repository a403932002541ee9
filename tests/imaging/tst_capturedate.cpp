// When a photo was taken, as the image list and the album show it: the EXIF
// dates of real photos tagged by exiftool, the file's own date where they are
// missing or invalid, and what hostile bytes in front of the picture do.

#include "capturedate.h"
#include "imagelisting.h"
#include "jpegdecoder.h"
#include "jpegrecipes.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

using namespace tovin;

namespace {

QString takenText(QDate date, QTime time)
{
    return listDateText(QDateTime(date, time, Qt::UTC));
}

const QString kOriginal = QStringLiteral("DateTimeOriginal=2019:07:14 09:30:05");
const QString kDigitized = QStringLiteral("CreateDate=2018:01:02 03:04:05");

// Name, the EXIF tags exiftool writes, and whether the date is the original
// one, the digitized one or, neither being a date, the file's own.
enum class Shown { Original, Digitized, FileDate };
const struct Photo {
    const char *name;
    QStringList tags;
    Shown shown;
} kPhotos[] = {
    {"original.jpg", {kOriginal, kDigitized}, Shown::Original},
    {"digitized.jpg", {kDigitized}, Shown::Digitized},
    {"undated.jpg", {}, Shown::FileDate},
    {"zeros.jpg", {"DateTimeOriginal=0000:00:00 00:00:00", kDigitized}, Shown::Digitized},
    {"blanks.jpg", {"DateTimeOriginal=    :  :     :  :  "}, Shown::FileDate},
    {"garbage.jpg", {"DateTimeOriginal=garbage", "CreateDate=2018:01:02"}, Shown::FileDate},
    {"no-such-day.jpg", {"DateTimeOriginal=2019:02:30 10:00:00"}, Shown::FileDate},
};

} // namespace

class CaptureDateTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

    QString path(const char *name) const { return m_folder.filePath(QLatin1String(name)); }

private slots:
    // Modified long after they came to be: the birth time, where the file
    // system keeps one, is not the modification time.
    void initTestCase()
    {
        QList<std::pair<QString, QStringList>> photos;
        for (const Photo &photo : kPhotos)
            photos.append({path(photo.name), photo.tags});
        QVERIFY(test::writeTaggedPhotos(photos));
        for (const Photo &photo : kPhotos) {
            QFile file(path(photo.name));
            QVERIFY(
                file.open(QIODevice::ReadWrite)
                && file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime));
        }
    }

    void dateTexts_data()
    {
        QTest::addColumn<QString>("photo");
        QTest::addColumn<QString>("date");
        for (const Photo &photo : kPhotos) {
            const QFileInfo file(path(photo.name));
            QString date = listDateText(file.birthTime().isValid() ? file.birthTime() : file.lastModified());
            if (photo.shown == Shown::Original)
                date = takenText({2019, 7, 14}, {9, 30, 5});
            if (photo.shown == Shown::Digitized)
                date = takenText({2018, 1, 2}, {3, 4, 5});
            QTest::newRow(photo.name) << file.filePath() << date;
        }
        QTest::newRow("a folder has no date") << m_folder.path() << QString();
        QTest::newRow("a missing file has none") << path("missing.jpg") << QString();
    }

    void dateTexts()
    {
        QFETCH(QString, photo);
        QTEST(imageDateText(photo), "date");
        QCOMPARE(shownOrImageDateText(photo, QStringLiteral("shown")), QStringLiteral("shown"));
        QTEST(shownOrImageDateText(photo, QString()), "date");
    }

    // Never a crash or a read past the bytes, whatever they are: the shared
    // unusual files, and a photo's header cut short or changed at random, most
    // often inside its EXIF block. A file cut short right after that block
    // still tells its date.
    void hostileBytes()
    {
        const QDir unusual(test::sharedTestData() + QStringLiteral("/unusual"));
        for (const QFileInfo &file : unusual.entryInfoList({QStringLiteral("*.jpg")}, QDir::Files)) {
            QVERIFY(!readCaptureDate(file.filePath()));
            QVERIFY(!imageDateText(file.filePath()).isEmpty());
        }

        const QByteArray photo = test::readBytes(path("original.jpg"));
        const qsizetype exif = test::segmentAt(photo, [](uchar marker) { return marker == 0xE1; });
        const qsizetype exifEnd = exif + 2 + (uchar(photo[exif + 2]) << 8 | uchar(photo[exif + 3]));
        const qsizetype scan = test::segmentAt(photo, [](uchar marker) { return marker == 0xDA; });
        QVERIFY(exif > 0 && scan > exifEnd);
        const QString cut = m_folder.filePath(QStringLiteral("cut.jpg"));
        QVERIFY(test::writeBytes(cut, photo.left(exifEnd)));
        QCOMPARE(readCaptureDate(cut), QDateTime(QDate(2019, 7, 14), QTime(9, 30, 5), Qt::UTC));

        QRandomGenerator random(21);
        const QByteArray head = photo.left(scan + 200);
        int dated = 0;
        for (int round = 0; round < 5000; ++round) {
            QByteArray bytes = head;
            for (int change = 1 + random.bounded(8); change > 0; --change) {
                const bool inExif = random.bounded(4) != 0;
                const qsizetype at = inExif ? exif + 4 + random.bounded(exifEnd - exif - 4) : random.bounded(scan);
                bytes[at] = char(random.bounded(256));
            }
            if (random.bounded(4) == 0)
                bytes.truncate(random.bounded(bytes.size()));
            const auto input = std::span(reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size());
            dated += captureDateOfExif(readJpegExif(input)).has_value();
        }
        // Most changes miss the two dates and the way to them.
        QVERIFY2(dated > 1000 && dated < 5000, qPrintable(QString::number(dated)));
    }
};

QTEST_GUILESS_MAIN(CaptureDateTest)
#include "tst_capturedate.moc"
