#include "viewertestsupport.h"

#include <lensbox/zoomwellctl.h>

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

using lensbox::kFalse;
using lensbox::kTrue;
using lensbox::ScrollBarState;
using lensbox::ZoomwellCtl;
using viewertest::child;
using viewertest::cursorShapeWidth;

namespace {

constexpr int kDraggingCursor = 13; // widths of the two pan cursors' shapes
constexpr int kPanCursor = 15;
constexpr int kTickWaitMs = 350; // a few toolbar ticks

} // namespace

class ZoomwellCtlTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void zoomChangedCarriesTheRoundedZoom();
    void dragPansOppositeToTheMouse_data();
    void dragPansOppositeToTheMouse();
    void arrowKeyFocusesABarAwayFromItsEnd_data();
    void arrowKeyFocusesABarAwayFromItsEnd();
    void toolbarButtonsFollowSwitchesWithoutAPicture();
    void toolbarFollowsTheCursor_data();
    void toolbarFollowsTheCursor();
    void toolbarButtonsOnlyRaiseEvents();
    void unloadImageKeepsZoomAndCanvas();
    void recallDropsAPlaceOfAnotherZoom();
    void noPixelHidesUnderABar();
    void wheelScrollsOrAsksToZoom_data();
    void wheelScrollsOrAsksToZoom();
    void ctrlWheelBesideThePicture();

private:
    QToolBar *toolbar() const { return m_control->findChild<QToolBar *>(QStringLiteral("tbrQuickFloat")); }
    QAction *button(int index) const { return toolbar()->actions().at(index); }
    QPoint values() const
    {
        return {m_control->viewGeometry().horizontal().value, m_control->viewGeometry().vertical().value};
    }
    void loadLargePicture();

    QTemporaryDir m_folder;
    QString m_large; // 1000 x 800, larger than the control both ways
    QString m_small; // 100 x 100
    std::unique_ptr<ZoomwellCtl> m_control;
};

void ZoomwellCtlTest::initTestCase()
{
    m_large = viewertest::writePicture(m_folder.path(), QStringLiteral("large.png"), {1000, 800}, Qt::darkCyan);
    m_small = viewertest::writePicture(m_folder.path(), QStringLiteral("small.png"), {100, 100}, Qt::yellow);
    QVERIFY(!m_large.isEmpty() && !m_small.isEmpty());
}

void ZoomwellCtlTest::init()
{
    m_control = std::make_unique<ZoomwellCtl>();
    m_control->initProperties();
    m_control->setGeometry(100, 100, 400, 300);
    m_control->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_control.get()));
}

void ZoomwellCtlTest::cleanup()
{
    m_control.reset();
    QCursor::setPos(0, 0);
}

void ZoomwellCtlTest::loadLargePicture()
{
    m_control->LoadImage(m_large);
    QVERIFY(m_control->viewGeometry().horizontal().visible && m_control->viewGeometry().vertical().visible);
}

void ZoomwellCtlTest::zoomChangedCarriesTheRoundedZoom()
{
    QSignalSpy changed(m_control.get(), &ZoomwellCtl::ZoomChanged);
    const QRect canvas = child(*m_control, "picView")->geometry();

    m_control->setZoom(150.5); // no picture: nothing to zoom, the event still comes

    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().toInt(), 150); // half to even
    QCOMPARE(m_control->Zoom(), 150.5);
    QCOMPARE(child(*m_control, "picView")->geometry(), canvas);
}

void ZoomwellCtlTest::dragPansOppositeToTheMouse_data()
{
    QTest::addColumn<bool>("largePicture");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<short>("hostButton"); // written into MouseDown's Button; 0 leaves it
    QTest::addColumn<int>("startValue");
    QTest::addColumn<QList<int>>("offsets"); // mouse positions right of the press point, in turn
    QTest::addColumn<int>("endValue");
    QTest::addColumn<int>("cursorWhilePressed");

    const auto left = Qt::LeftButton;
    // clang-format off
    QTest::newRow("10 pixels right lowers the value by 10") << true << left << short(0) << -100 << QList<int>{10} << -110 << kDraggingCursor;
    QTest::newRow("step past the left end dropped") << true << left << short(0) << -3 << QList<int>{-10} << -3 << kDraggingCursor;
    QTest::newRow("3 more after the dropped step reach the end") << true << left << short(0) << -3 << QList<int>{-10, -13} << 0 << kDraggingCursor;
    QTest::newRow("right button does not pan") << true << Qt::RightButton << short(0) << -100 << QList<int>{10} << -100 << kPanCursor;
    QTest::newRow("host turns left into right") << true << left << short(2) << -100 << QList<int>{10} << -100 << kPanCursor;
    QTest::newRow("no bar visible") << false << left << short(0) << 0 << QList<int>{10} << 0 << kPanCursor;
    // clang-format on
}

void ZoomwellCtlTest::dragPansOppositeToTheMouse()
{
    QFETCH(bool, largePicture);
    QFETCH(Qt::MouseButton, button);
    QFETCH(short, hostButton);
    QFETCH(int, startValue);
    QFETCH(QList<int>, offsets);
    m_control->LoadImage(largePicture ? m_large : m_small);
    m_control->setPanActive(kTrue);
    child<QScrollBar>(*m_control, "hscPicture")->setValue(-startValue); // as the user would with the bar
    const int vValue = values().y();
    connect(m_control.get(), &ZoomwellCtl::MouseDown, this, [hostButton](short &Button, short &, float &, float &) {
        if (hostButton != 0)
            Button = hostButton;
    });
    QWidget *canvas = child(*m_control, "picView");
    QCOMPARE(cursorShapeWidth(canvas->cursor()), kPanCursor);

    // Screen positions: the canvas moves under the mouse.
    const QPoint pressedAt = m_control->mapToGlobal(QPoint(150, 120));
    QPoint at = pressedAt;
    QTest::mousePress(canvas, button, {}, canvas->mapFromGlobal(at));
    QTEST(cursorShapeWidth(canvas->cursor()), "cursorWhilePressed");
    QCOMPARE(canvas->cursor().hotSpot(), QPoint(8, 7));
    QCOMPARE(canvas->cursor().bitmap().size(), QSize(32, 32));
    for (int offset : offsets) {
        at = pressedAt + QPoint(offset, 0);
        QTest::mouseMove(canvas, canvas->mapFromGlobal(at));
    }
    QTest::mouseRelease(canvas, button, {}, canvas->mapFromGlobal(at));

    QTEST(values().x(), "endValue");
    if (largePicture)
        QTEST(canvas->x(), "endValue");
    QCOMPARE(child<QScrollBar>(*m_control, "hscPicture")->value(), -values().x());
    QCOMPARE(values().y(), vValue);
    QCOMPARE(cursorShapeWidth(canvas->cursor()), kPanCursor);
}

void ZoomwellCtlTest::arrowKeyFocusesABarAwayFromItsEnd_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QPoint>("start"); // horizontal and vertical values
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QPoint>("afterSecondKey"); // the focused bar scrolls by 5

    const QPoint start(-50, -50);
    QTest::newRow("left at the left end") << int(Qt::Key_Left) << QPoint(0, -50) << QString() << QPoint(0, -50);
    QTest::newRow("right") << int(Qt::Key_Right) << start << QStringLiteral("hscPicture") << QPoint(-55, -50);
    QTest::newRow("up at the top") << int(Qt::Key_Up) << QPoint(-50, 0) << QString() << QPoint(-50, 0);
    QTest::newRow("down") << int(Qt::Key_Down) << start << QStringLiteral("vscPicture") << QPoint(-50, -55);
    QTest::newRow("other key") << int(Qt::Key_PageDown) << start << QString() << start;
}

void ZoomwellCtlTest::arrowKeyFocusesABarAwayFromItsEnd()
{
    QFETCH(int, key);
    QFETCH(QPoint, start);
    QFETCH(QString, focus);
    loadLargePicture();
    child<QScrollBar>(*m_control, "hscPicture")->setValue(-start.x());
    child<QScrollBar>(*m_control, "vscPicture")->setValue(-start.y());
    m_control->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_control.get()));
    m_control->setFocus();

    QTest::keyClick(m_control.get(), Qt::Key(key));

    QWidget *focused = QApplication::focusWidget();
    QCOMPARE(focused == m_control.get() ? QString() : focused->objectName(), focus);
    QCOMPARE(values(), start); // the first key only moves the focus
    QTest::keyClick(focused, Qt::Key(key));
    QTEST(values(), "afterSecondKey");
}

void ZoomwellCtlTest::toolbarButtonsFollowSwitchesWithoutAPicture()
{
    m_control->setUseQuickBar(kTrue);
    m_control->setAllowZoomIn(kTrue);
    m_control->setAllowZoomOut(kFalse);
    QCursor::setPos(m_control->mapToGlobal(QPoint(200, 100)));

    QTRY_VERIFY(button(0)->isEnabled() && !button(1)->isEnabled());
    QTest::qWait(kTickWaitMs);
    QVERIFY2(toolbar()->isHidden(), "with no picture the toolbar does not appear");

    toolbar()->show();
    QCursor::setPos(m_control->mapToGlobal(QPoint(-50, -50)));
    QTest::qWait(kTickWaitMs);
    QVERIFY2(toolbar()->isVisible(), "with no picture the toolbar does not disappear");
}

void ZoomwellCtlTest::toolbarFollowsTheCursor_data()
{
    QTest::addColumn<QString>("over");
    QTest::addColumn<bool>("shown");

    QTest::newRow("corner box") << QStringLiteral("picTemp") << true;
    QTest::newRow("toolbar button") << QStringLiteral("button") << true;
    QTest::newRow("scroll bar") << QStringLiteral("hscPicture") << false;
    QTest::newRow("outside the control") << QString() << false;
}

void ZoomwellCtlTest::toolbarFollowsTheCursor()
{
    QFETCH(QString, over);
    loadLargePicture();
    m_control->setUseQuickBar(kTrue);
    const QPoint overCanvas = m_control->mapToGlobal(QPoint(250, 60)); // the canvas is scrolled: inside the frame
    QCursor::setPos(overCanvas);
    QTRY_VERIFY(toolbar()->isVisible());

    QPoint target = m_control->mapToGlobal(QPoint(-50, -50));
    if (over == QLatin1String("button"))
        target = toolbar()->widgetForAction(button(1))->mapToGlobal(QPoint(5, 5));
    else if (!over.isEmpty())
        target = child(*m_control, qPrintable(over))->mapToGlobal(QPoint(5, 5));
    QCursor::setPos(target);
    QTest::qWait(kTickWaitMs);

    QTEST(toolbar()->isVisible(), "shown");
}

void ZoomwellCtlTest::toolbarButtonsOnlyRaiseEvents()
{
    loadLargePicture();
    QCOMPARE(toolbar()->geometry(), QRect(8, 168, 76, 24));
    toolbar()->show();
    QSignalSpy zoomIn(m_control.get(), &ZoomwellCtl::ZoomInClick);
    QSignalSpy zoomOut(m_control.get(), &ZoomwellCtl::ZoomOutClick);
    QSignalSpy max(m_control.get(), &ZoomwellCtl::MaxClick);
    const QRect canvas = child(*m_control, "picView")->geometry();
    const QStringList tips{QStringLiteral("Zoom In"), QStringLiteral("Zoom Out"), QStringLiteral("Maximize")};

    for (int index = 0; index < 3; ++index) {
        QCOMPARE(button(index)->toolTip(), tips.at(index));
        QVERIFY2(toolbar()->widgetForAction(button(index))->isVisible(), "all three buttons fit the toolbar");
        QTest::mouseClick(toolbar()->widgetForAction(button(index)), Qt::LeftButton);
        QList<int> raised{0, 0, 0};
        raised[index] = 1;
        QCOMPARE((QList<int>{int(zoomIn.size()), int(zoomOut.size()), int(max.size())}), raised);
        zoomIn.clear();
        zoomOut.clear();
        max.clear();
    }
    QCOMPARE(m_control->Zoom(), 100.0); // the host decides what a button means
    QCOMPARE(child(*m_control, "picView")->geometry(), canvas);
}

void ZoomwellCtlTest::unloadImageKeepsZoomAndCanvas()
{
    loadLargePicture();
    m_control->setZoom(200);
    QWidget *canvas = child(*m_control, "picView");
    const QRect canvasAt = canvas->geometry();
    QSignalSpy zoomChanged(m_control.get(), &ZoomwellCtl::ZoomChanged);

    m_control->UnloadImage();

    QCOMPARE(zoomChanged.size(), 0);
    QCOMPARE(m_control->Zoom(), 200.0);
    QCOMPARE(m_control->Picture()->Handle(), 0u);
    QCOMPARE(canvas->geometry(), canvasAt);
    QVERIFY(!button(0)->isEnabled() && !button(1)->isEnabled());

    m_control->setZoom(50);
    QCOMPARE(canvas->geometry(), canvasAt);
    QCOMPARE(zoomChanged.size(), 1);
}

// A place stored at another zoom no longer fits the ranges and is dropped;
// an unchanged range coming back is checked with the quick picture's swap.
void ZoomwellCtlTest::recallDropsAPlaceOfAnotherZoom()
{
    loadLargePicture();
    m_control->setZoom(200);
    child<QScrollBar>(*m_control, "hscPicture")->setValue(77);
    child<QScrollBar>(*m_control, "vscPicture")->setValue(33);
    m_control->StorePosition();

    m_control->setZoom(150);
    const QPoint centred = values();
    QVERIFY(centred != QPoint(-77, -33));
    m_control->RecallPosition();

    QCOMPARE(values(), centred);
    QCOMPARE(child(*m_control, "picView")->pos(), centred);
    QCOMPARE(child<QScrollBar>(*m_control, "hscPicture")->value(), -centred.x());
}

void ZoomwellCtlTest::noPixelHidesUnderABar()
{
    const QWidget *frame = child(*m_control, "picMain");
    const QWidget *canvas = child(*m_control, "picView");
    for (const bool across : {true, false}) {
        const auto *bar = child<QScrollBar>(*m_control, across ? "hscPicture" : "vscPicture");
        const auto *otherBar = child<QScrollBar>(*m_control, across ? "vscPicture" : "hscPicture");
        const int frameSide = across ? frame->width() : frame->height();

        // Every length around the one where the bar appears; the other side is so
        // long that the other bar shows.
        for (int length = frameSide - 40; length <= frameSide + 5; ++length) {
            QImage picture(across ? QSize(length, 1000) : QSize(2000, length), QImage::Format_RGB32);
            picture.fill(Qt::gray);
            m_control->setPicture(lensbox::makePicture(picture));

            QVERIFY(otherBar->isVisible());
            const int seenUpTo = across ? otherBar->x() : otherBar->y();
            const ScrollBarState &state =
                across ? m_control->viewGeometry().horizontal() : m_control->viewGeometry().vertical();
            // Scrolled to either end of the bar, or where it stays without one.
            const int firstAt = bar->isVisible() ? 0 : (across ? canvas->x() : canvas->y());
            const int lastAt = bar->isVisible() ? state.maximum : firstAt;
            const QString where = QStringLiteral("%1 length %2: %3 to %4 seen up to %5")
                                      .arg(across ? "across" : "down")
                                      .arg(length)
                                      .arg(lastAt)
                                      .arg(lastAt + length)
                                      .arg(seenUpTo);
            QVERIFY2(firstAt >= 0 && lastAt + length <= seenUpTo, qPrintable(where));
        }
    }
}

void ZoomwellCtlTest::wheelScrollsOrAsksToZoom_data()
{
    QTest::addColumn<QList<int>>("angles"); // 120 is one notch, up or away from the user
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("acrossWheel");
    QTest::addColumn<short>("allowed"); // AllowZoomIn and AllowZoomOut
    QTest::addColumn<QPoint>("end"); // from (-100, -100); a notch is three lines of 20 pixels
    QTest::addColumn<QList<int>>("raised"); // ZoomInClick, ZoomOutClick

    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
    const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
    const QPoint start(-100, -100);
    const QList<int> no{0, 0};
    // clang-format off
    QTest::newRow("down a notch") << QList<int>{-120} << none << false << kTrue << QPoint(-100, -160) << no;
    QTest::newRow("up five notches stops at the top") << QList<int>{600} << none << false << kTrue << QPoint(-100, 0) << no;
    QTest::newRow("shift turns it across") << QList<int>{-120} << shift << false << kTrue << QPoint(-160, -100) << no;
    QTest::newRow("horizontal wheel") << QList<int>{-120} << none << true << kTrue << QPoint(-160, -100) << no;
    QTest::newRow("ctrl: down two notches zoom out twice") << QList<int>{-240} << ctrl << false << kTrue << start << QList<int>{0, 2};
    QTest::newRow("ctrl: parts of a notch add up") << QList<int>{60, 30, 30} << ctrl << false << kTrue << start << QList<int>{1, 0};
    QTest::newRow("ctrl: a turn back starts again") << QList<int>{90, -60, 90} << ctrl << false << kTrue << start << no;
    QTest::newRow("ctrl: not while the buttons are off") << QList<int>{120, -120} << ctrl << false << kFalse << start << no;
    // clang-format on
}

void ZoomwellCtlTest::wheelScrollsOrAsksToZoom()
{
    QFETCH(QList<int>, angles);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, acrossWheel);
    QFETCH(short, allowed);
    loadLargePicture();
    m_control->setAllowZoomIn(allowed);
    m_control->setAllowZoomOut(allowed);
    child<QScrollBar>(*m_control, "hscPicture")->setValue(100);
    child<QScrollBar>(*m_control, "vscPicture")->setValue(100);
    QSignalSpy zoomIn(m_control.get(), &ZoomwellCtl::ZoomInClick);
    QSignalSpy zoomOut(m_control.get(), &ZoomwellCtl::ZoomOutClick);

    for (int angle : angles)
        viewertest::turnWheel(child(*m_control, "picView"), angle, modifiers, acrossWheel);

    // Ctrl leaves the step to the host: nothing scrolls.
    QTEST(values(), "end");
    QTEST(child(*m_control, "picView")->pos(), "end");
    QTEST((QList<int>{int(zoomIn.size()), int(zoomOut.size())}), "raised");
}

// Around a small picture the frame shows; Ctrl+wheel there asks to zoom too.
void ZoomwellCtlTest::ctrlWheelBesideThePicture()
{
    loadLargePicture();
    m_control->setAllowZoomOut(kTrue);
    m_control->setZoom(20);
    QSignalSpy zoomOut(m_control.get(), &ZoomwellCtl::ZoomOutClick);

    viewertest::turnWheel(child(*m_control, "picMain"), -120, Qt::ControlModifier);

    QCOMPARE(zoomOut.size(), 1);
}

QTEST_MAIN(ZoomwellCtlTest)

#include "tst_zoomwellctl.moc"
