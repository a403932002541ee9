// The preview's rules: fit zoom, zoom steps, the large window, list codes and
// a typed quality.

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
