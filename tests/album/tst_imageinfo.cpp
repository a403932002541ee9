// The image information line: size, modem download time and pixel size.

#include "imageinfo.h"
#include "runtimeerror.h"
#include "testimages.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;

class ImageInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void describes_data();
    void describes();
    void missingFileRaises();
};

// clang-format off
void ImageInfoTest::describes_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("0 bytes") << qint64(0) << QSize() << "File Size: 0 KB \nDownload Speed: 0 Secs @28.8Kbps\nDimensions: (0 x 0)";
    QTest::newRow("58.5 s rounds down to even") << qint64(215631) << QSize(64, 48) << "File Size: 211 KB \nDownload Speed: 58 Secs @28.8Kbps\n" "Dimensions: (64 x 48)";
    QTest::newRow("59.5 s rounds up to 60: minutes") << qint64(219317) << QSize(64, 48) << "File Size: 214 KB \nDownload Speed: 1 Mins @28.8Kbps\n" "Dimensions: (64 x 48)";
    QTest::newRow("60 s") << qint64(221160) << QSize(64, 48) << "File Size: 216 KB \nDownload Speed: 1 Mins @28.8Kbps\nDimensions: (64 x 48)";
    QTest::newRow("a million bytes") << qint64(1000000) << QSize(1600, 1200) << "File Size: 977 KB \nDownload Speed: 5 Mins @28.8Kbps\n" "Dimensions: (1600 x 1200)";
    QTest::newRow("1.5 KB rounds to 2") << qint64(1536) << QSize() << "File Size: 2 KB \nDownload Speed: 0 Secs " "@28.8Kbps\nDimensions: (0 x 0)";
    QTest::newRow("2.5 KB rounds to 2") << qint64(2560) << QSize() << "File Size: 2 KB \nDownload Speed: 1 Secs " "@28.8Kbps\nDimensions: (0 x 0)";
    QTest::newRow("whole hours drop out") << qint64(3686LL * 3600) << QSize() << "File Size: 12959 KB \nDownload " "Speed: 0 Mins @28.8Kbps\n" "Dimensions: (0 x 0)";
}
// clang-format on

// A photo of the given size padded to the exact byte count (decoders stop
// at the end-of-image marker), or bytes that are no picture at all.
void ImageInfoTest::describes()
{
    QFETCH(qint64, bytes);
    QFETCH(QSize, size);
    QFETCH(QString, text);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    if (size.isValid())
        QVERIFY(test::writeTestJpeg(path, size, 75));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.size() <= bytes);
    QVERIFY(file.resize(bytes));
    file.close();
    QCOMPARE(imageInfoText(path), text);
}

void ImageInfoTest::missingFileRaises()
{
    QVERIFY_THROWS_EXCEPTION(RuntimeError, imageInfoText(QStringLiteral("/no/such/photo.jpg")));
}

QTEST_GUILESS_MAIN(ImageInfoTest)
#include "tst_imageinfo.moc"
