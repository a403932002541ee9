// The JPEG decoder's limits: hostile headers, the memory budget, reduced
// decoding, fuzzed bytes, and the largest photograph it must still decode.

#include "encodedimagefile.h"
#include "imageengine.h"
#include "jpegdecoder.h"
#include "jpegrecipes.h"
#include "memorybudget.h"
#include "testenvironment.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

using namespace tovin;
using tovin::test::JpegRecipe;

Q_DECLARE_METATYPE(tovin::DecodeFailure)

namespace {

std::span<const unsigned char> spanOf(const QByteArray &bytes)
{
    return {reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size())};
}

QByteArray sharedFile(const QString &name)
{
    const QString shared = test::sharedTestData();
    return shared.isEmpty() ? QByteArray() : test::readBytes(shared + QStringLiteral("/unusual/") + name);
}

QByteArray tinyJpeg(bool progressive, bool arithmetic, int components = 1)
{
    JpegRecipe recipe;
    recipe.size = {16, 16};
    recipe.components = components;
    recipe.progressive = progressive;
    recipe.arithmetic = arithmetic;
    return test::encodeJpeg(recipe);
}

std::int64_t peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::int64_t(usage.ru_maxrss) * 1024;
}

} // namespace

namespace {

QByteArray exifWithFirstDirectoryCount(int count)
{
    QByteArray exif = test::exifSegment(6);
    constexpr int kCountAt = 6 + 8; // after "Exif\0\0" and the TIFF header
    exif[kCountAt] = char(count & 0xFF);
    exif[kCountAt + 1] = char(count >> 8);
    return exif;
}

QByteArray exifWithThumbnailAt(quint32 offset, quint32 length)
{
    QByteArray exif = test::exifSegment(6, tinyJpeg(false, false));
    // IFD1's two entries: JPEGInterchangeFormat and its length, values last.
    const qsizetype ifd1 = exif.size() - tinyJpeg(false, false).size() - 30;
    for (int byte = 0; byte < 4; ++byte) {
        exif[ifd1 + 2 + 8 + byte] = char(offset >> (8 * byte));
        exif[ifd1 + 2 + 12 + 8 + byte] = char(length >> (8 * byte));
    }
    return exif;
}

} // namespace

class JpegDecoderTest : public QObject
{
    Q_OBJECT

private slots:
    // clang-format off
    void hostileHeaders_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("headerSize");
        QTest::addColumn<DecodeFailure>("failure");
        const QSize none(0, 0);
        // Huffman-coded: far too few bytes for the blocks claimed.
        QTest::newRow("186 bytes claiming 65535 x 65535") << sharedFile("max_size.jpg") << none << DecodeFailure::NotDecodable;
        QTest::newRow("progressive claiming 49157 x 27397")
            << test::withClaimedSize(tinyJpeg(true, false), {49157, 27397}) << none << DecodeFailure::NotDecodable;
        QTest::newRow("empty") << QByteArray() << none << DecodeFailure::NotDecodable;
        QTest::newRow("no frame header") << sharedFile("missing-sof.jpg") << none << DecodeFailure::NotDecodable;
        QTest::newRow("not a JPEG") << QByteArray("GIF89a\x01\x00\x01\x00", 10) << none << DecodeFailure::NotDecodable;
        // Arithmetic coding can be that small: the header is believed, the
        // budget refuses the picture before any memory is asked for.
        QTest::newRow("colour picture above the bitmap budget")
            << test::withClaimedSize(tinyJpeg(false, true, 3), {30000, 20000}) << QSize(30000, 20000) << DecodeFailure::TooLarge;
        QTest::newRow("progressive above the working memory")
            << test::withClaimedSize(tinyJpeg(true, true), {20000, 20000}) << QSize(20000, 20000) << DecodeFailure::TooLarge;
    }
    // clang-format on

    void hostileHeaders()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, headerSize);
        QFETCH(DecodeFailure, failure);
        if (bytes.isEmpty() && QByteArray(QTest::currentDataTag()) != "empty")
            QSKIP("the shared test images are not beside this checkout");
        const std::int64_t peakBefore = peakResidentBytes();
        QCOMPARE(readJpegSize(spanOf(bytes)).value_or(QSize(0, 0)), headerSize);
        const DecodedJpeg decoded = decodeJpeg(spanOf(bytes));
        QVERIFY(!decoded.bitmap);
        QCOMPARE(decoded.failure, failure);
        // Refused before the memory was taken (the 20000 x 20000 progressive file
        // would need 800 MB of coefficients).
        QVERIFY2(peakResidentBytes() - peakBefore < (64 << 20), "a refused file took memory");
    }

    // clang-format off
    void hostileMetadata_data()
    {
        QTest::addColumn<int>("marker");
        QTest::addColumn<QByteArray>("segment");
        QTest::addColumn<bool>("thumbnail");
        const QByteArray bomb = test::withClaimedSize(tinyJpeg(true, true), {20000, 20000});
        // The library's own loader reads far past the segment here and crashes.
        QTest::newRow("EXIF directory running past its segment") << 0xE1 << exifWithFirstDirectoryCount(0xFF02) << false;
        QTest::newRow("EXIF thumbnail wrapping round 4 GB") << 0xE1 << exifWithThumbnailAt(0xFFFFFF00u, 0x200) << false;
        QTest::newRow("EXIF thumbnail in place") << 0xE1 << test::exifSegment(6, tinyJpeg(false, false)) << true;
        QTest::newRow("EXIF thumbnail claiming 20000 x 20000") << 0xE1 << test::exifSegment(6, bomb) << false;
        QTest::newRow("JFIF thumbnail claiming 20000 x 20000") << 0xE0 << QByteArray("JFXX\0\x10", 6) + bomb << false;
    }
    // clang-format on

    // Segments are the library's to parse, but never in a form that makes it
    // read past them or decode a thumbnail itself: the picture still decodes,
    // with its raw EXIF kept for saving.
    void hostileMetadata()
    {
        QFETCH(int, marker);
        QFETCH(QByteArray, segment);
        QFETCH(bool, thumbnail);
        JpegRecipe recipe;
        recipe.segments = {{marker, segment}};
        const QByteArray bytes = test::encodeJpeg(recipe);
        const std::int64_t peakBefore = peakResidentBytes();
        const DecodedJpeg decoded = decodeJpeg(spanOf(bytes));
        QVERIFY(decoded.bitmap);
        QCOMPARE(bool(FreeImage_GetThumbnail(decoded.bitmap.get())), thumbnail);
        QCOMPARE(FreeImage_GetMetadataCount(FIMD_EXIF_RAW, decoded.bitmap.get()), marker == 0xE1 ? 1u : 0u);
        QVERIFY2(peakResidentBytes() - peakBefore < (64 << 20), "a thumbnail took memory");
    }

    // A reduced decode is sized as libjpeg sizes it: each side divided,
    // rounded up; grey stays 8 bits, CMYK becomes 24.
    void reducedDecoding()
    {
        for (auto [size, progressive, components] :
             {std::tuple(QSize(61, 47), false, 3), {QSize(17, 9), true, 1}, {QSize(1, 1), false, 4}}) {
            JpegRecipe recipe;
            recipe.size = size;
            recipe.progressive = progressive;
            recipe.components = components;
            const QByteArray bytes = test::encodeJpeg(recipe);
            for (int denominator : {1, 2, 4, 8}) {
                const DecodedJpeg decoded = decodeJpeg(spanOf(bytes), denominator);
                QVERIFY(decoded.bitmap);
                const auto shape = [](FIBITMAP *b) {
                    return std::tuple(FreeImage_GetWidth(b), FreeImage_GetHeight(b), FreeImage_GetBPP(b));
                };
                QCOMPARE(shape(decoded.bitmap.get()),
                         std::tuple(unsigned((size.width() + denominator - 1) / denominator),
                                    unsigned((size.height() + denominator - 1) / denominator),
                                    components == 1 ? 8u : 24u));
            }
        }
    }

    // Mutated real files, baseline with every kind of segment and progressive:
    // whatever the bytes, the decoder answers without crashing, and a bitmap
    // comes exactly when no failure is reported.
    void fuzzedBytesNeverCrash()
    {
        JpegRecipe withSegments;
        withSegments.size = {40, 30};
        withSegments.segments = {{0xFE, "comment"},
                                 {0xE1, test::exifSegment(6, tinyJpeg(false, false))},
                                 {0xE1, test::xmpSegment()},
                                 {0xED, test::iptcSegment()},
                                 {0xE2, test::iccSegments(200).first()}};
        JpegRecipe progressive;
        progressive.size = {40, 30};
        progressive.progressive = true;
        QList<QByteArray> originals{test::encodeJpeg(withSegments), test::encodeJpeg(progressive)};
        if (const QByteArray real = sharedFile("jpg-cmyk-1.jpg"); !real.isEmpty())
            originals.append(real);

        QRandomGenerator random(20261207);
        int decoded = 0;
        int attempts = 0;
        for (const QByteArray &original : originals) {
            for (int round = 0; round < 200; ++round, ++attempts) {
                QByteArray bytes = original;
                switch (random.bounded(3)) {
                case 0: // a few bytes changed
                    for (int count = 1 + random.bounded(8); count > 0; --count)
                        bytes[random.bounded(bytes.size())] = char(random.bounded(256));
                    break;
                case 1: // cut short, then a byte changed
                    bytes.truncate(1 + random.bounded(bytes.size()));
                    bytes[random.bounded(bytes.size())] = char(random.bounded(256));
                    break;
                default: // a stretch repeated
                    const int from = random.bounded(bytes.size());
                    bytes.insert(random.bounded(bytes.size()), bytes.mid(from, 1 + random.bounded(64)));
                }
                readJpegSize(spanOf(bytes));
                const DecodedJpeg result = decodeJpeg(spanOf(bytes), 1 << random.bounded(4));
                QCOMPARE(bool(result.bitmap), result.failure == DecodeFailure::None);
                decoded += result.bitmap ? 1 : 0;
            }
        }
        qInfo("%d of %d mutated files decoded", decoded, attempts);
    }

    // Over the old 300-megapixel limit, under the bitmap budget.
    void largestPhotographDecodes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("large.jpg"));
        JpegRecipe recipe;
        recipe.size = {20000, 15500};
        recipe.quality = 10;
        recipe.smooth = true;
        QVERIFY(test::writeBytes(path, test::encodeJpeg(recipe)));

        QCOMPARE(imageFileSize(path, kFormatJpeg), recipe.size);
        const EncodedImageFile encoded(path);
        DecodedJpeg decoded = encoded.decode(kFormatJpeg);
        QCOMPARE(decoded.failure, DecodeFailure::None);
        QCOMPARE(FreeImage_GetWidth(decoded.bitmap.get()), 20000u);
        QCOMPARE(FreeImage_GetHeight(decoded.bitmap.get()), 15500u);
        decoded.bitmap.reset();
        decoded = encoded.decode(kFormatJpeg, 8);
        QCOMPARE(FreeImage_GetWidth(decoded.bitmap.get()), 2500u);
        QCOMPARE(FreeImage_GetHeight(decoded.bitmap.get()), 1938u);
    }
};

QTEST_GUILESS_MAIN(JpegDecoderTest)
#include "tst_jpegdecoder.moc"
