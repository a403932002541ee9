#include <lensbox/pictureobject.h>

#include <QRandomGenerator>
#include <QTest>
#include <QTransform>

using namespace lensbox;

Q_DECLARE_METATYPE(QImage::Format)

// Drawing a large picture small starts from a halved copy near the drawn size.
class PictureReductionsTest : public QObject
{
    Q_OBJECT

private slots:
    void drawingStartsFromTheSmallestCopyBigEnough_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QRectF>("part"); // empty: the whole picture
        QTest::addColumn<QSize>("drawn");
        QTest::addColumn<QSize>("copy");

        const QSize big(3000, 2000);
        const auto rgb = QImage::Format_RGB32;
        QTest::newRow("fit size") << big << rgb << QRectF() << QSize(180, 120) << QSize(750, 500);
        QTest::newRow("just above a copy") << big << rgb << QRectF() << QSize(751, 400) << QSize(1500, 1000);
        QTest::newRow("above every copy") << big << rgb << QRectF() << QSize(1600, 1000) << big;
        QTest::newRow("a part") << big << QImage::Format_ARGB32_Premultiplied << QRectF(1000, 500, 400, 400)
                                << QSize(100, 100) << QSize(750, 500);
        QTest::newRow("odd size") << QSize(2001, 1001) << rgb << QRectF() << QSize(500, 250) << QSize(1000, 500);
        QTest::newRow("small picture") << QSize(1000, 800) << rgb << QRectF() << QSize(10, 8) << QSize(1000, 800);
        QTest::newRow("not a paint format") << big << QImage::Format_RGB888 << QRectF() << QSize(180, 120) << big;
    }

    void drawingStartsFromTheSmallestCopyBigEnough()
    {
        QFETCH(QSize, picture);
        QFETCH(QImage::Format, format);
        QFETCH(QRectF, part);
        QFETCH(QSize, drawn);
        QFETCH(QSize, copy);
        QImage image(picture, format);
        image.fill(Qt::gray);
        if (part.isEmpty())
            part = QRectF(image.rect());

        const PictureRef made = makePicture(image); // holds the copies the source points into
        const PictureObject::Source source = made->sourceFor(part, drawn);

        QCOMPARE(source.image.size(), copy);
        // The part drawn, in the copy's pixels.
        QCOMPARE(source.part,
                 QTransform::fromScale(qreal(copy.width()) / picture.width(), qreal(copy.height()) / picture.height())
                     .mapRect(part));
    }

    void aHalvedCopyIsThePictureAveragedDown()
    {
        // Qt's own smooth reduction by half is the independent measure.
        QImage image(2048, 1536, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < image.height(); ++y)
            random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), image.width());

        const PictureRef made = makePicture(image);
        const QImage half =
            made->sourceFor(QRectF(image.rect()), QSize(1024, 768)).image.convertToFormat(QImage::Format_RGB888);
        const QImage expected = image.scaled(1024, 768, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                    .convertToFormat(QImage::Format_RGB888);

        QCOMPARE(half.size(), expected.size());
        int worst = 0; // over every colour byte
        for (qsizetype i = 0; i < half.sizeInBytes(); ++i)
            worst = std::max(worst, std::abs(half.constBits()[i] - expected.constBits()[i]));
        QVERIFY2(worst <= 1, qPrintable(QString::number(worst)));
    }
};

QTEST_MAIN(PictureReductionsTest)
#include "tst_picturereductions.moc"
