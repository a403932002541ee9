// The rules behind the preview: the fit zoom and the extents it is made
// from, the zoom buttons' steps, the large window's size, the two lists'
// codes and a typed quality.

#include "adjustmentfieldvalues.h"
#include "adjustmentselections.h"
#include "largepreviewsizing.h"
#include "messagetable.h"
#include "previewzoom.h"
#include "scriptedprompts.h"

#include <FreeImage.h>

#include <QTest>

using namespace tovin;
using tovin::test::ScriptedPrompts;

class PreviewRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void fitZoom_data();
    void fitZoom();
    void zoomSteps_data();
    void zoomSteps();
    void largeWindowShare_data();
    void largeWindowShare();
    void largeWindowViewerStaysInside();
    void listSelections_data();
    void listSelections();
    void typedQuality_data();
    void typedQuality();
    void previewSettingsFromFields();
};

void PreviewRulesTest::fitZoom_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("viewer");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("zoom");

    QTest::newRow("1600x1200 in 400x300") << QSize(1600, 1200) << QSize(400, 300) << 96.0 << 14.0;
    QTest::newRow("smaller than the viewer") << QSize(100, 100) << QSize(400, 300) << 96.0 << 100.0;
    // Equal extents are not above the viewer's: no reduction.
    QTest::newRow("equal extents") << QSize(144, 0) << QSize(254, 0) << 96.0 << 100.0;
    QTest::newRow("unit mismatch keeps a margin") << QSize(400, 300) << QSize(400, 300) << 96.0 << 57.0;
    QTest::newRow("higher dpi, same ratio") << QSize(1600, 1200) << QSize(400, 300) << 192.0 << 14.0;
}

void PreviewRulesTest::fitZoom()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, viewer);
    QFETCH(double, dpi);
    QFETCH(double, zoom);
    QCOMPARE(ComputeFitZoom(pictureExtentHimetric(picture, dpi), windowExtentTwips(viewer, dpi)), zoom);
}

void PreviewRulesTest::zoomSteps_data()
{
    QTest::addColumn<bool>("in");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("after"); // -1: no change

    QTest::newRow("in from 100") << true << 100.0 << 110.0;
    QTest::newRow("in from 195 passes 200") << true << 195.0 << 205.0;
    QTest::newRow("in at 200 stops") << true << 200.0 << -1.0;
    QTest::newRow("in at 205 stops") << true << 205.0 << -1.0;
    QTest::newRow("out from 14 passes 10") << false << 14.0 << 4.0;
    QTest::newRow("out at 10 stops") << false << 10.0 << -1.0;
    QTest::newRow("out at 4 stops") << false << 4.0 << -1.0;
    QTest::newRow("out from 200") << false << 200.0 << 190.0;
}

void PreviewRulesTest::zoomSteps()
{
    QFETCH(bool, in);
    QFETCH(double, zoom);
    QFETCH(double, after);
    const std::optional<double> stepped = in ? ZoomInStep(zoom) : ZoomOutStep(zoom);
    QCOMPARE(stepped.value_or(-1), after);
}

void PreviewRulesTest::largeWindowShare_data()
{
    QTest::addColumn<qint32>("pictureExtent");
    QTest::addColumn<double>("share");

    // A 1280 x 1024 screen at 96 dpi: 19200 + 15360 = 34560 twips.
    QTest::newRow("640x480 picture") << pictureExtentHimetric(QSize(640, 480), 96) << 1.0;
    QTest::newRow("320x240 picture") << pictureExtentHimetric(QSize(320, 240), 96) << 0.5;
    QTest::newRow("exactly half") << qint32(17280) << 1.0;
    QTest::newRow("just under half") << qint32(17279) << 0.5;
}

void PreviewRulesTest::largeWindowShare()
{
    QFETCH(qint32, pictureExtent);
    QFETCH(double, share);
    QCOMPARE(largePreviewScreenShare(pictureExtent, 19200, 15360), share);
    QCOMPARE(largePreviewWindowSize(QSize(1280, 1024), share), QSize(1280, 1024) * share);
}

void PreviewRulesTest::largeWindowViewerStaysInside()
{
    const QRect inner(QPoint(0, 0), QSize(800, 600));
    const QRect viewer = largePreviewViewerRect(inner.size(), 96);
    QCOMPARE(viewer.topLeft(), QPoint(4, 49));
    QVERIFY(inner.contains(viewer));
    QCOMPARE(viewer.bottomRight(), inner.bottomRight());
}

void PreviewRulesTest::listSelections_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("quality"); // from a start of 77

    QTest::newRow("None / 100") << 0 << int(FILTER_BICUBIC) << 100;
    QTest::newRow("Box / Low") << 1 << int(FILTER_BOX) << int(JPEG_QUALITYAVERAGE);
    QTest::newRow("Bilinear / Med") << 2 << int(FILTER_BILINEAR) << int(JPEG_QUALITYNORMAL);
    QTest::newRow("Bicubic / High") << 3 << int(FILTER_BICUBIC) << int(JPEG_QUALITYSUPERB);
    QTest::newRow("BSpline / beyond the list") << 4 << int(FILTER_BSPLINE) << 77;
    QTest::newRow("no selection") << -1 << int(FILTER_BICUBIC) << 77;
}

void PreviewRulesTest::listSelections()
{
    QFETCH(int, position);
    QFETCH(int, filter);
    QFETCH(int, quality);
    AdjustmentSelections selections;
    selections.SaveQuality = 77;
    selections.filterSelected(position);
    selections.qualitySelected(position);
    QCOMPARE(selections.SelectedFilter, filter);
    QCOMPARE(selections.SaveQuality, quality);
}

void PreviewRulesTest::typedQuality_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("quality");
    QTest::addColumn<QString>("refusal");

    QTest::newRow("8") << "8" << 8 << "";
    QTest::newRow("85") << "85" << 85 << "";
    QTest::newRow("half rounds to even") << "84.5" << 84 << "";
    QTest::newRow("zero is accepted") << "0" << 0 << "";
    QTest::newRow("exponent") << "1e2" << 100 << "";
    QTest::newRow("letter") << "8a" << 0 << message(43);
    QTest::newRow("empty") << "" << 0 << message(43);
    QTest::newRow("above 100") << "101" << 0 << "Value must be between 0 to 100";
}

void PreviewRulesTest::typedQuality()
{
    QFETCH(QString, text);
    QFETCH(int, quality);
    QFETCH(QString, refusal);
    ScriptedPrompts prompts;
    AdjustmentSelections selections;
    selections.SaveQuality = 55;
    selections.qualityTyped(text, prompts);
    QCOMPARE(selections.SaveQuality, quality);
    if (refusal.isEmpty()) {
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.transcript()));
    } else {
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown.first(), tovin::test::messageBox(refusal, message(111), PromptIcon::Exclamation));
    }
}

void PreviewRulesTest::previewSettingsFromFields()
{
    AdjustmentFieldValues fields{" 50 ", "75.5", "-10", "1e1", 3, 2, "ignored"};
    const ScaleSettings settings = previewScaleSettings(fields, FILTER_BSPLINE, 0x200);
    QCOMPARE(settings.widthPercent, 50.0);
    QCOMPARE(settings.heightPercent, 75.5);
    QCOMPARE(settings.brightness, -10.0);
    QCOMPARE(settings.contrast, 10.0);
    QCOMPARE(settings.filter, int(FILTER_BSPLINE));
    QCOMPARE(settings.saveFlags, 0x200);
    QCOMPARE(settings.format, kFormatJpeg);

    fields.contrast = QStringLiteral("x");
    QVERIFY_THROWS_EXCEPTION(RuntimeError, previewScaleSettings(fields, FILTER_BSPLINE, 0));
}

QTEST_GUILESS_MAIN(PreviewRulesTest)
#include "tst_previewrules.moc"
