#include <lensbox/viewgeometry.h>

#include <QTest>

using namespace lensbox;

namespace {

// A 400 x 300 control with one-pixel borders and a three-pixel dialog frame; thumbs of 17 pixels unless told.
ViewGeometry classicFrame(int hThumb = 17, int vThumb = 17, QSize client = QSize(400, 300),
                          QSize control = QSize(400, 300))
{
    ViewGeometry geometry(SystemMetrics{
        .cxBorder = 1, .cyBorder = 1, .cxDlgFrame = 3, .cyDlgFrame = 3, .cxHThumb = hThumb, .cyVThumb = vThumb});
    geometry.resizeControl(control, client);
    return geometry;
}

} // namespace

class ViewGeometryTest : public QObject
{
    Q_OBJECT

private slots:
    void newPicture_data()
    {
        QTest::addColumn<QSize>("before"); // a picture shown first, empty for none
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("hMax"); // 0: bar hidden
        QTest::addColumn<int>("hValue");
        QTest::addColumn<int>("vMax");
        QTest::addColumn<int>("vValue");
        QTest::addColumn<QPoint>("canvasAt");

        // Beside a shown bar the picture is centred in the 383 or 283 pixels the bar leaves.
        // The maximum -39621 does not fit 16 bits: the bar keeps its range, and the value
        // -19810 taken from it applies only inside that range.
        const QSize none;
        // clang-format off
        QTest::newRow("small picture centred without the thumb") << none << QSize(100, 100) << 0 << 0 << 0 << 0 << QPoint(150, 100);
        QTest::newRow("odd leftover to the even pixel") << none << QSize(101, 103) << 0 << 0 << 0 << 0 << QPoint(150, 98);
        QTest::newRow("exact fit shows the bar") << none << QSize(383, 100) << -4 << -2 << 0 << 0 << QPoint(-2, 92);
        QTest::newRow("maximum -7 gives value -4") << none << QSize(386, 100) << -7 << -4 << 0 << 0 << QPoint(-4, 92);
        QTest::newRow("maximum -5 gives value -2") << none << QSize(100, 284) << 0 << 0 << -5 << -2 << QPoint(142, -2);
        QTest::newRow("widest fit beside the bar") << none << QSize(382, 284) << 0 << 0 << -5 << -2 << QPoint(0, -2);
        QTest::newRow("large picture on its middle") << none << QSize(1000, 800) << -621 << -310 << -521 << -260 << QPoint(-310, -260);
        QTest::newRow("beyond 16 bits, value dropped") << QSize(1000, 100) << QSize(40000, 100) << -621 << -310 << 0 << 0 << QPoint(-19800, 92);
        QTest::newRow("beyond 16 bits, value kept") << QSize(30000, 100) << QSize(40000, 100) << -29621 << -19810 << 0 << 0 << QPoint(-19810, 92);
        // clang-format on
    }

    void newPicture()
    {
        QFETCH(QSize, before);
        QFETCH(QSize, picture);
        QFETCH(int, hMax);
        QFETCH(int, vMax);
        ViewGeometry geometry = classicFrame();
        if (before.isValid())
            geometry.showLoadedPicture(before);

        geometry.showLoadedPicture(picture);

        QCOMPARE(geometry.horizontal().visible, hMax != 0);
        QCOMPARE(geometry.horizontal().maximum, hMax);
        QTEST(geometry.horizontal().value, "hValue");
        QCOMPARE(geometry.vertical().visible, vMax != 0);
        QCOMPARE(geometry.vertical().maximum, vMax);
        QTEST(geometry.vertical().value, "vValue");
        QTEST(geometry.canvas().topLeft(), "canvasAt");
        QCOMPARE(geometry.canvas().size(), picture);
    }

    void zoomAppliesWholePixels()
    {
        ViewGeometry geometry = classicFrame();
        geometry.showLoadedPicture(QSize(803, 601));

        geometry.zoomCanvas(50.0, 803, 601);
        QCOMPARE(geometry.canvas().size(), QSize(402, 300)); // halves go to the even neighbour
        geometry.zoomCanvas(-10.0, 803, 601);
        QCOMPARE(geometry.canvas().size(), QSize(402, 300)); // a negative zoom keeps the size
    }

    // Around the length where a bar appears, with unequal thumbs: scrolled to
    // either end, or unscrolled without a bar, no pixel lies under the other bar.
    void noPixelHidesUnderABar()
    {
        ViewGeometry geometry = classicFrame(15, 19, QSize(396, 296));
        for (const bool across : {true, false}) {
            for (int length = (across ? 396 : 296) - 40; length <= (across ? 396 : 296) + 5; ++length) {
                geometry.showLoadedPicture(across ? QSize(length, 1000) : QSize(2000, length));
                const ScrollBarState &bar = across ? geometry.horizontal() : geometry.vertical();
                const ScrollBarState &other = across ? geometry.vertical() : geometry.horizontal();
                const int seenUpTo = across ? other.rect.x() : other.rect.y();
                const int firstAt = bar.visible ? 0 : (across ? geometry.canvas().x() : geometry.canvas().y());
                const int lastAt = bar.visible ? bar.maximum : firstAt;
                QVERIFY2(other.visible && firstAt >= 0 && lastAt + length <= seenUpTo,
                         qPrintable(QString::asprintf("%s %d: from %d to %d, seen up to %d", across ? "across" : "down",
                                                      length, firstAt, lastAt + length, seenUpTo)));
            }
        }
    }

    void barsAndCornerAreLaidOutAgainstTheControl_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("controlAfter"); // a resize after the load; empty for none
        QTest::addColumn<QRect>("hRect");
        QTest::addColumn<QRect>("vRect");
        QTest::addColumn<QRect>("corner"); // empty when hidden

        const QSize none;
        // clang-format off
        QTest::newRow("both bars") << QSize(1000, 800) << none << QRect(0, 280, 381, 17) << QRect(380, 0, 17, 281) << QRect(381, 281, 17, 17);
        QTest::newRow("horizontal bar only") << QSize(1000, 100) << none << QRect(0, 280, 397, 17) << QRect(380, 0, 17, 281) << QRect();
        QTest::newRow("bars appear with a smaller control") << QSize(300, 250) << QSize(250, 200) << QRect(0, 180, 231, 17) << QRect(230, 0, 17, 181) << QRect(231, 181, 17, 17);
        // clang-format on
    }

    void barsAndCornerAreLaidOutAgainstTheControl()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, controlAfter);
        ViewGeometry geometry = classicFrame();

        geometry.showLoadedPicture(picture);
        if (controlAfter.isValid())
            geometry.resizeControl(controlAfter, controlAfter);

        QTEST(geometry.horizontal().rect, "hRect");
        QTEST(geometry.vertical().rect, "vRect");
        QTEST(geometry.cornerVisible() ? geometry.corner() : QRect(), "corner");
    }

    // The main window's viewer is 5445 x 2370 twips; the large window's is the
    // window less 4 x 44 pixels, the window half the screen or all of it. The
    // horizontal bar's place starts 20 pixels above the control's bottom.
    void quickToolbarInsideTheControl_data()
    {
        QTest::addColumn<QSize>("control");
        QTest::addColumn<int>("top");

        QTest::newRow("main window at 96 dpi") << QSize(363, 158) << 106;
        QTest::newRow("main window at 120 dpi") << QSize(454, 198) << 146;
        QTest::newRow("main window at 144 dpi") << QSize(545, 237) << 168;
        QTest::newRow("large window, half of 640 x 480") << QSize(316, 196) << 144;
        QTest::newRow("large window, half of 800 x 600") << QSize(396, 256) << 168;
        QTest::newRow("large window, all of 1920 x 1080") << QSize(1916, 1036) << 168;
        QTest::newRow("large window shrunk by hand") << QSize(200, 60) << 8;
        QTest::newRow("lower than the toolbar") << QSize(100, 20) << 0;
        QTest::newRow("viewer demo") << QSize(800, 600) << 168;
    }

    void quickToolbarInsideTheControl()
    {
        QFETCH(QSize, control);
        const ViewGeometry geometry = classicFrame(17, 17, control - QSize(2, 2), control);

        const QRect toolbar = geometry.quickToolbar(QSize(76, 24));

        QTEST(toolbar.top(), "top");
        QCOMPARE(toolbar.topLeft().x(), 8);
        QCOMPARE(toolbar.size(), QSize(76, 24));
        if (control.height() >= 24 + 8 + 20)
            QVERIFY(toolbar.bottom() < geometry.horizontal().rect.top() - 8);
    }
};

QTEST_APPLESS_MAIN(ViewGeometryTest)

#include "tst_viewgeometry.moc"
