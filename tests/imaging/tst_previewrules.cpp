// The preview's rules: fit zoom, zoom steps, the large window, list codes and
// a typed quality.

#include "adjustmentfieldvalues.h"
#include "adjustmentselections.h"
#include "jpegrecipes.h"
#include "largepreviewsizing.h"
#include "messagetable.h"
#include "previewzoom.h"
#include "scriptedprompts.h"
#include "shownpicture.h"
#include "testenvironment.h"

#include <FreeImage.h>

#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using tovin::test::ScriptedPrompts;

Q_DECLARE_METATYPE(tovin::ScaleSkip)

namespace {

// How far two pictures of one scene differ, 0 to 255: the mean difference
// of their 36 x 24 averages' green channels.
double difference(const QImage &a, const QImage &b)
{
    const QImage small = a.scaled(36, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage other = b.scaled(36, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 36; ++x)
            sum += std::abs(qGreen(small.pixel(x, y)) - qGreen(other.pixel(x, y)));
    }
    return sum / (36 * 24);
}

} // namespace

class PreviewRulesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_made;
    QString m_shared;

private slots:
    void initTestCase()
    {
        m_shared = test::sharedTestData();
        const auto tiny = [](bool progressive, bool arithmetic = false) {
            return test::encodeJpeg({.size = {16, 16}, .progressive = progressive, .arithmetic = arithmetic});
        };
        for (const auto &[name, bytes] :
             {std::pair{"claims-baseline.jpg", tiny(false)}, {"claims-progressive.jpg", tiny(true)}})
            QVERIFY(test::writeBytes(m_made.filePath(QString::fromLatin1(name)),
                                     test::withClaimedSize(bytes, QSize(16000, 16000))));
        // Arithmetic coding makes a sound file this small, refused by its size.
        QVERIFY(test::writeBytes(m_made.filePath(QStringLiteral("above-budget.jpg")),
                                 test::withClaimedSize(tiny(false, true), QSize(30000, 20000))));
        QVERIFY(test::writeBytes(m_made.filePath(QStringLiteral("png.jpg")), QByteArray("\x89PNG\r\n\x1a\n", 8)));
    }

    // The windows decode as the batch does: turned upright like the picture
    // stored as it is shown, decoded straight at a zoom, and passed over for
    // the batch's reasons, without the memory a header claims.
    void picturesToShow_data()
    {
        QTest::addColumn<QString>("file"); // in the shared test images, or made here
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QString>("sameAs"); // the same scene stored upright
        QTest::addColumn<ScaleSkip>("failure");

        const QString landscape = QStringLiteral("orientation/Landscape_1.jpg");
        const QSize wide(1800, 1200);
        const QSize none(0, 0);
        using enum ScaleSkip;
        // clang-format off
        QTest::newRow("turned half round") << "orientation/Landscape_3.jpg" << 100.0 << wide << landscape << None;
        QTest::newRow("turned a quarter clockwise") << "orientation/Landscape_6.jpg" << 100.0 << wide << landscape << None;
        QTest::newRow("turned a quarter back") << "orientation/Landscape_8.jpg" << 100.0 << wide << landscape << None;
        QTest::newRow("portrait turned") << "orientation/Portrait_6.jpg" << 100.0 << QSize(1200, 1800) << "orientation/Portrait_1.jpg" << None;
        QTest::newRow("reduced, then turned") << "orientation/Landscape_6.jpg" << 10.0 << QSize(180, 120) << landscape << None;
        QTest::newRow("reduced by less than the decoder can") << "orientation/Landscape_1.jpg" << 77.0 << QSize(1386, 924) << landscape << None;
        QTest::newRow("grey") << "unusual/jpg-gray.jpg" << 100.0 << QSize(32, 32) << QString() << None;
        QTest::newRow("CMYK") << "unusual/jpg-cmyk-1.jpg" << 100.0 << QSize(32, 32) << QString() << None;
        QTest::newRow("header claims 65535 x 65535") << "unusual/max_size.jpg" << 100.0 << none << QString() << NotDecodable;
        QTest::newRow("no frame header") << "unusual/missing-sof.jpg" << 100.0 << none << QString() << NotDecodable;
        QTest::newRow("empty") << "unusual/empty.jpg" << 100.0 << none << QString() << NotDecodable;
        QTest::newRow("claims 16000 x 16000") << "claims-baseline.jpg" << 100.0 << none << QString() << NotDecodable;
        QTest::newRow("claims 16000 x 16000, progressive") << "claims-progressive.jpg" << 5.0 << none << QString() << NotDecodable;
        QTest::newRow("above the budget") << "above-budget.jpg" << 100.0 << none << QString() << TooLargeToDecode;
        QTest::newRow("above the budget, reduced") << "above-budget.jpg" << 1.0 << none << QString() << TooLargeToDecode;
        QTest::newRow("PNG named .jpg") << "png.jpg" << 100.0 << none << QString() << NotDecodable;
        QTest::newRow("missing") << "missing.jpg" << 100.0 << none << QString() << SourceUnreadable;
        // clang-format on
    }

    void picturesToShow()
    {
        QFETCH(QString, file);
        QFETCH(double, zoom);
        QFETCH(QString, sameAs);
        const auto pathOf = [this](const QString &name) {
            return name.contains(u'/') ? m_shared + u'/' + name : m_made.filePath(name);
        };
        if (file.contains(u'/') && m_shared.isEmpty())
            QSKIP("the shared test images are not beside this checkout");
        const std::int64_t peakBefore = test::peakResidentBytes();

        const ShownPicture shown = decodePictureToShow(pathOf(file), zoom);

        QTEST(shown.failure, "failure");
        QTEST(shown.image.size(), "shown");
        if (!shown.image.isNull())
            QCOMPARE(shown.image.format(), QImage::Format_RGB32);
        if (!sameAs.isEmpty())
            QVERIFY(difference(shown.image, decodePictureToShow(pathOf(sameAs)).image) < 8);
        if (shown.image.isNull())
            QVERIFY2(test::peakResidentBytes() - peakBefore < (64 << 20), "a refused file took memory");
    }

    void fitZoom()
    {
        struct Row {
            QSize picture, viewer;
            double dpi, zoom;
        };
        // Equal extents (144 px, 254 px) are not above the viewer's: no reduction;
        // the unit mismatch keeps a margin at the same size.
        for (const Row &row : {Row{{1600, 1200}, {400, 300}, 96, 14}, Row{{100, 100}, {400, 300}, 96, 100},
                               Row{{144, 0}, {254, 0}, 96, 100}, Row{{400, 300}, {400, 300}, 96, 57},
                               Row{{1600, 1200}, {400, 300}, 192, 14}})
            QCOMPARE(
                ComputeFitZoom(pictureExtentHimetric(row.picture, row.dpi), windowExtentTwips(row.viewer, row.dpi)),
                row.zoom);
    }

    void zoomSteps()
    {
        // In passes 200 once and stops there; out passes 10 once and stops there.
        for (auto [zoom, after] : {std::pair{100.0, 110.0}, {195.0, 205.0}, {200.0, -1.0}, {205.0, -1.0}})
            QCOMPARE(ZoomInStep(zoom).value_or(-1), after);
        for (auto [zoom, after] : {std::pair{14.0, 4.0}, {10.0, -1.0}, {4.0, -1.0}, {200.0, 190.0}})
            QCOMPARE(ZoomOutStep(zoom).value_or(-1), after);
    }

    void largeWindow()
    {
        // A 1280 x 1024 screen at 96 dpi: 19200 + 15360 = 34560 twips; a picture
        // of half that or more gets the whole screen.
        for (auto [extent, share] : {std::pair{17280, 1.0}, {17279, 0.5}}) {
            QCOMPARE(largePreviewScreenShare(extent, 19200, 15360), share);
            QCOMPARE(largePreviewWindowSize(QSize(1280, 1024), share), QSize(1280, 1024) * share);
        }
    }

    void listSelections()
    {
        struct Row {
            int position, filter, quality; // quality from a start of 77
        };
        for (const Row &row : {Row{0, FILTER_BICUBIC, 100}, Row{1, FILTER_BOX, JPEG_QUALITYAVERAGE},
                               Row{2, FILTER_BILINEAR, JPEG_QUALITYNORMAL}, Row{3, FILTER_BICUBIC, JPEG_QUALITYSUPERB},
                               Row{4, FILTER_BSPLINE, 77}, Row{-1, FILTER_BICUBIC, 77}}) {
            AdjustmentSelections selections;
            selections.SaveQuality = 77;
            selections.filterSelected(row.position);
            selections.qualitySelected(row.position);
            QCOMPARE(std::pair(selections.SelectedFilter, selections.SaveQuality), std::pair(row.filter, row.quality));
        }
    }

    // An accepted number becomes the quality, rounded half to even; a refused
    // one is told at once and leaves 0.
    void typedQuality()
    {
        for (const auto &[text, quality, refusal] : {std::tuple<QString, int, QString>("85", 85, {}),
                                                     {"84.5", 84, {}},
                                                     {"0", 0, {}},
                                                     {"8a", 0, message(43)},
                                                     {"101", 0, "Value must be between 0 to 100"}}) {
            ScriptedPrompts prompts;
            AdjustmentSelections selections;
            selections.SaveQuality = 55;
            selections.qualityTyped(text, prompts);
            QCOMPARE(selections.SaveQuality, quality);
            QCOMPARE(prompts.shown,
                     refusal.isEmpty() ? QList<test::ShownPrompt>()
                                       : QList{test::messageBox(refusal, message(111), PromptIcon::Exclamation)});
        }
    }

    void previewSettingsFromFields()
    {
        AdjustmentFieldValues fields{" 50 ", "75.5", "-10", "1e1", 3, 2, "ignored"};
        const ScaleSettings s = previewScaleSettings(fields, FILTER_BSPLINE, 0x200);
        QCOMPARE(std::tuple(s.widthPercent, s.heightPercent, s.brightness, s.contrast, s.filter, s.output.saveFlags),
                 std::tuple(50.0, 75.5, -10.0, 10.0, int(FILTER_BSPLINE), 0x200));
        fields.contrast = QStringLiteral("x");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, previewScaleSettings(fields, FILTER_BSPLINE, 0));
    }
};

QTEST_GUILESS_MAIN(PreviewRulesTest)
#include "tst_previewrules.moc"
