#include <lensbox/viewgeometry.h>

#include <QTest>

using lensbox::ViewGeometry;

namespace {

// A 400 x 300 control with the classic desktop sizes: one-pixel borders, a
// three-pixel dialog frame and 17-pixel thumbs.
ViewGeometry classicFrame()
{
    ViewGeometry geometry(lensbox::SystemMetrics{
        .cxBorder = 1, .cyBorder = 1, .cxDlgFrame = 3, .cyDlgFrame = 3, .cxHThumb = 17, .cyVThumb = 17});
    geometry.resizeControl(QSize(400, 300), QSize(400, 300));
    return geometry;
}

} // namespace

class ViewGeometryTest : public QObject
{
    Q_OBJECT

private slots:
    void newPicture_data();
    void newPicture();
    void maximumBeyondSixteenBits_data();
    void maximumBeyondSixteenBits();
    void zoomAppliesWholePixels_data();
    void zoomAppliesWholePixels();
    void barsAndCornerAreLaidOutAgainstTheControl_data();
    void barsAndCornerAreLaidOutAgainstTheControl();
};

void ViewGeometryTest::newPicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("hMax"); // 0: bar hidden
    QTest::addColumn<int>("hValue");
    QTest::addColumn<int>("vMax");
    QTest::addColumn<int>("vValue");
    QTest::addColumn<QPoint>("canvasAt");

    // The picture fits beside a bar while narrower than 383 and lower than 283.
    // Beside a shown bar it is centred in the 383 or 283 pixels the bar leaves.
    // clang-format off
    QTest::newRow("small picture centred without the thumb") << QSize(100, 100) << 0 << 0 << 0 << 0 << QPoint(150, 100);
    QTest::newRow("odd leftover to the even pixel") << QSize(101, 103) << 0 << 0 << 0 << 0 << QPoint(150, 98);
    QTest::newRow("exact fit shows the bar") << QSize(383, 100) << -4 << -2 << 0 << 0 << QPoint(-2, 92);
    QTest::newRow("maximum -7 gives value -4") << QSize(386, 100) << -7 << -4 << 0 << 0 << QPoint(-4, 92);
    QTest::newRow("maximum -5 gives value -2") << QSize(100, 284) << 0 << 0 << -5 << -2 << QPoint(142, -2);
    QTest::newRow("widest fit beside the bar") << QSize(382, 284) << 0 << 0 << -5 << -2 << QPoint(0, -2);
    QTest::newRow("large picture on its middle") << QSize(1000, 800) << -621 << -310 << -521 << -260 << QPoint(-310, -260);
    // clang-format on
}

void ViewGeometryTest::newPicture()
{
    QFETCH(QSize, picture);
    QFETCH(int, hMax);
    QFETCH(int, vMax);
    ViewGeometry geometry = classicFrame();

    geometry.showLoadedPicture(picture);

    QCOMPARE(geometry.horizontal().visible, hMax != 0);
    QCOMPARE(geometry.horizontal().maximum, hMax);
    QTEST(geometry.horizontal().value, "hValue");
    QCOMPARE(geometry.vertical().visible, vMax != 0);
    QCOMPARE(geometry.vertical().maximum, vMax);
    QTEST(geometry.vertical().value, "vValue");
    QTEST(geometry.canvas().topLeft(), "canvasAt");
    QCOMPARE(geometry.canvas().size(), picture);
    QCOMPARE(geometry.cornerVisible(), hMax != 0 && vMax != 0);
}

void ViewGeometryTest::maximumBeyondSixteenBits_data()
{
    QTest::addColumn<int>("firstWidth");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("canvasLeft");

    // The next picture is 40000 pixels wide: its maximum -39621 does not fit
    // 16 bits, so the bar keeps its range, and the value -19810 taken from the
    // refused maximum only applies inside that range. A dropped value leaves
    // the canvas where the new picture was centred.
    QTest::newRow("value outside the kept range dropped") << 1000 << -621 << -310 << -19800;
    QTest::newRow("value inside the kept range applied") << 30000 << -29621 << -19810 << -19810;
}

void ViewGeometryTest::maximumBeyondSixteenBits()
{
    QFETCH(int, firstWidth);
    ViewGeometry geometry = classicFrame();
    geometry.showLoadedPicture(QSize(firstWidth, 100));

    geometry.showLoadedPicture(QSize(40000, 100));

    QTEST(geometry.horizontal().maximum, "max");
    QTEST(geometry.horizontal().value, "value");
    QTEST(geometry.canvas().left(), "canvasLeft");
}

void ViewGeometryTest::zoomAppliesWholePixels_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("canvas");

    QTest::newRow("halves to the even neighbour") << 50.0 << QSize(803, 601) << QSize(402, 300);
    QTest::newRow("negative zoom keeps the size") << -10.0 << QSize(801, 601) << QSize(801, 601);
}

void ViewGeometryTest::zoomAppliesWholePixels()
{
    QFETCH(double, zoom);
    QFETCH(QSize, picture);
    ViewGeometry geometry = classicFrame();
    geometry.showLoadedPicture(picture);

    geometry.zoomCanvas(zoom, picture.width(), picture.height());

    QTEST(geometry.canvas().size(), "canvas");
}

void ViewGeometryTest::barsAndCornerAreLaidOutAgainstTheControl_data()
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

void ViewGeometryTest::barsAndCornerAreLaidOutAgainstTheControl()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, controlAfter);
    ViewGeometry geometry = classicFrame();

    // One pass of the layout places the corner box where the bars meet.
    geometry.showLoadedPicture(picture);
    if (controlAfter.isValid())
        geometry.resizeControl(controlAfter, controlAfter);

    QTEST(geometry.horizontal().rect, "hRect");
    QTEST(geometry.vertical().rect, "vRect");
    QFETCH(QRect, corner);
    QCOMPARE(geometry.cornerVisible(), !corner.isEmpty());
    if (geometry.cornerVisible())
        QCOMPARE(geometry.corner(), corner);
}

QTEST_APPLESS_MAIN(ViewGeometryTest)

#include "tst_viewgeometry.moc"
