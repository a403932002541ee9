#include <lensbox/controlfactory.h>
#include <lensbox/openfiledialog.h>
#include <lensbox/pictureloader.h>
#include <lensbox/propertybag.h>
#include <lensbox/zoomwellctl.h>

#include <QAction>
#include <QBitmap>
#include <QFileInfo>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

#include <future>
#include <memory>

using namespace lensbox;

namespace {

constexpr int kDraggingCursor = 13; // widths of the two pan cursors' shapes
constexpr int kPanCursor = 15;
constexpr int kTickWaitMs = 350; // a few toolbar ticks
constexpr OleColor kRed = 0x0000FF;

template<class Widget = QWidget> Widget *child(const ZoomwellCtl &control, const char *name)
{
    return control.findChild<Widget *>(QString::fromLatin1(name));
}

QImage filled(QSize size, const QColor &color, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    image.fill(color);
    return image;
}

int cursorShapeWidth(const QCursor &cursor)
{
    return cursor.shape() == Qt::BitmapCursor ? QRegion(cursor.mask()).boundingRect().width() : 0;
}

QVariantList shownState(ZoomwellCtl &control)
{
    const ViewGeometry &geometry = control.viewGeometry();
    return {control.Picture()->image(),    control.Zoom(),
            control.grab().toImage(),      child(control, "picView")->geometry(),
            geometry.horizontal().maximum, geometry.vertical().maximum};
}

struct EventLog : QObject {
    explicit EventLog(ZoomwellCtl *control)
    {
        connect(control, &ZoomwellCtl::ZoomChanged, this,
                [this](qint32 percent) { events << QStringLiteral("ZoomChanged %1").arg(percent); });
        connect(control, &ZoomwellCtl::propertyChanged, this,
                [this](const QString &name) { events << QStringLiteral("propertyChanged ") + name; });
        connect(control, &ZoomwellCtl::ZoomInClick, this, [this] { events << QStringLiteral("ZoomInClick"); });
        connect(control, &ZoomwellCtl::ZoomOutClick, this, [this] { events << QStringLiteral("ZoomOutClick"); });
        connect(control, &ZoomwellCtl::MaxClick, this, [this] { events << QStringLiteral("MaxClick"); });
        connect(control, &ZoomwellCtl::Paint, this, [this] { events << QStringLiteral("Paint"); });
    }
    QStringList events;
};

} // namespace

class ZoomwellCtlTest : public QObject
{
    Q_OBJECT

    static bool start(ZoomwellCtl &control)
    {
        control.initProperties();
        control.setGeometry(100, 100, 400, 300);
        control.show();
        return QTest::qWaitForWindowExposed(&control);
    }
    QToolBar *toolbar() const { return m_control->findChild<QToolBar *>(QStringLiteral("tbrQuickFloat")); }
    QAction *button(int index) const { return toolbar()->actions().at(index); }
    QScrollBar *bar(const char *name) const { return child<QScrollBar>(*m_control, name); }
    QWidget *canvas() const { return child(*m_control, "picView"); }
    static QVariant int16(short value) { return QVariant::fromValue(value); }
    static bool isRed(const QWidget *widget) { return widget->palette().color(QPalette::Window) == QColor(Qt::red); }
    QString testFile(const QString &file) const
    {
        return file.contains(u'/') ? m_shared + u'/' + file : m_folder.filePath(file);
    }

    QTemporaryDir m_folder;
    QString m_shared;
    std::unique_ptr<ZoomwellCtl> m_control;

private slots:
    void initTestCase()
    {
        const QString shared = qEnvironmentVariable("TOVIN_TESTDATA");
        if (QFileInfo(shared + QStringLiteral("/orientation")).isDir())
            m_shared = shared;
        for (auto [name, size, color] : {std::tuple("large.png", QSize(1000, 800), QColor(Qt::darkCyan)),
                                         {"yellow.png", QSize(120, 90), QColor(Qt::yellow)},
                                         {"blue.bmp", QSize(100, 100), QColor(Qt::blue)}})
            QVERIFY(filled(size, color).save(testFile(name)));
    }

    void init()
    {
        QCursor::setPos(0, 0);
        m_control = std::make_unique<ZoomwellCtl>();
        QVERIFY(start(*m_control));
    }

    void readingTheBagSetsEveryProperty_data()
    {
        QTest::addColumn<QVariant>("stored"); // under the lower-case names of the four switches
        QTest::addColumn<short>("value");
        QTest::addColumn<int>("canvasCursor");

        QTest::newRow("empty bag gives defaults") << int16(kFalse) << kFalse << 0;
        QTest::newRow("bool true") << QVariant(true) << kTrue << kPanCursor;
        QTest::newRow("set but not True") << int16(1) << short(1) << 0;
    }

    void readingTheBagSetsEveryProperty()
    {
        QFETCH(QVariant, stored);
        QFETCH(short, value);
        PropertyBag bag;
        // An older save under another case: replaced, or forgotten when the default is written.
        bag.write(QStringLiteral("PanActive"), int16(1), int16(kFalse));
        for (const char *name : {"allowzoomin", "allowzoomout", "usequickbar", "panactive"})
            bag.write(QString::fromLatin1(name), stored, int16(kFalse));
        ZoomwellCtl control;
        control.setBackColor(kRed);
        EventLog log(&control);

        control.readProperties(bag);

        QCOMPARE(control.BackColor(), kApplicationWorkspace); // a value the bag lacks is read as its default
        for (short read : {control.AllowZoomIn(), control.AllowZoomOut(), control.UseQuickBar(), control.PanActive()})
            QCOMPARE(read, value);
        QTEST(cursorShapeWidth(child(control, "picView")->cursor()), "canvasCursor");
        QCOMPARE(log.events, QStringList()); // reading the saved values changes nothing to save
        QVERIFY2(isRed(child(control, "picMain")), "the back colour read goes to the canvas only");
        QVERIFY(!isRed(child(control, "hscPicture")));
    }

    void setsAreCheckedReportedAndSaved_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("events"); // propertyChanged: the host saves it with the window

        // clang-format off
        // One switch off by default, one on, the colour and the pointer: the others are set alike.
        for (auto [name, value] : {std::pair("AllowZoomIn", int16(kTrue)), {"AutoRedraw", int16(kFalse)},
                                   {"BackColor", QVariant::fromValue(kRed)}, {"MousePointer", int16(11)}}) {
            const QString property = QString::fromLatin1(name);
            QTest::addRow("%s", name) << property << value << true << QStringList{"propertyChanged " + property};
        }
        QTest::newRow("MousePointer 200") << "MousePointer" << int16(200) << false << QStringList();
        QTest::newRow("MousePointer -1") << "MousePointer" << int16(-1) << false << QStringList();
        QTest::newRow("Zoom 150.5, no picture") << "Zoom" << QVariant(150.5) << true << QStringList{"ZoomChanged 150"};
        QTest::newRow("Zoom NaN") << "Zoom" << QVariant(qQNaN()) << false << QStringList();
        QTest::newRow("Zoom infinite") << "Zoom" << QVariant(qInf()) << false << QStringList();
        QTest::newRow("Zoom beyond 32 bits") << "Zoom" << QVariant(3e9) << false << QStringList();
        // clang-format on
    }

    void setsAreCheckedReportedAndSaved()
    {
        QFETCH(QString, property);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        const QByteArray name = property.toLatin1();
        m_control->setMousePointer(2);
        m_control->setZoom(120);
        PropertyBag bag;
        m_control->writeProperties(bag);
        QCOMPARE(bag.names(), QStringList{"MousePointer"}); // what differs from the defaults
        const QVariant before = m_control->property(name);
        EventLog log(m_control.get());

        bool taken = true;
        if (property == QLatin1String("MousePointer"))
            taken = m_control->setMousePointer(value.value<short>());
        else if (property == QLatin1String("Zoom"))
            taken = m_control->setZoom(value.toDouble());
        else
            QVERIFY(m_control->setProperty(name, value));

        QCOMPARE(taken, accepted);
        const QVariant now = m_control->property(name);
        QCOMPARE(now, accepted ? value : before);
        QTEST(log.events, "events");
        QCOMPARE(m_control->cursor().shape(), now == int16(11) ? Qt::WaitCursor : Qt::CrossCursor); // pointers 11, 2
        QVERIFY2(!isRed(bar("vscPicture")), "a new instance protects the bars from the frame's colour");
        m_control->writeProperties(bag);
        ZoomwellCtl copy;
        copy.readProperties(bag);
        if (property != QLatin1String("Zoom")) // the zoom is the host's to keep
            QCOMPARE(copy.property(name), now);
        QCOMPARE(copy.cursor().shape(), m_control->cursor().shape());
    }

    void factoryKnowsOneIdentifier()
    {
        const ControlCreation made = createControl(QStringLiteral("lensbox.zoomwellctl")); // any case
        const std::unique_ptr<ZoomwellCtl> owned(made.control);
        QVERIFY(made.control && made.error.isEmpty());
        const ControlCreation unknown = createControl(QStringLiteral("Lensbox.Other"));
        QCOMPARE(unknown.control, nullptr);
        QVERIFY2(unknown.error.contains(QStringLiteral("Lensbox.Other")), qPrintable(unknown.error));
    }

    void dragPansOppositeToTheMouse_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<short>("hostButton"); // written into MouseDown's Button; 0 leaves it
        QTest::addColumn<int>("startValue");
        QTest::addColumn<QList<int>>("offsets"); // mouse positions right of the press point, in turn
        QTest::addColumn<int>("canvasX");
        QTest::addColumn<int>("cursorWhilePressed");

        const auto left = Qt::LeftButton;
        const QString large = QStringLiteral("large.png");
        // clang-format off
        QTest::newRow("step past the left end dropped") << large << left << short(0) << -3 << QList<int>{-10} << -3 << kDraggingCursor;
        QTest::newRow("3 more after the dropped step reach the end") << large << left << short(0) << -3 << QList<int>{-10, -13} << 0 << kDraggingCursor;
        QTest::newRow("right button does not pan") << large << Qt::RightButton << short(0) << -100 << QList<int>{10} << -100 << kPanCursor;
        QTest::newRow("host turns left into right") << large << left << short(2) << -100 << QList<int>{10} << -100 << kPanCursor;
        QTest::newRow("no bar visible") << "blue.bmp" << left << short(0) << 0 << QList<int>{10} << 149 << kPanCursor;
        // clang-format on
    }

    void dragPansOppositeToTheMouse()
    {
        QFETCH(QString, picture);
        QFETCH(Qt::MouseButton, button);
        QFETCH(short, hostButton);
        QFETCH(QList<int>, offsets);
        m_control->LoadImage(testFile(picture));
        m_control->setPanActive(kTrue);
        QFETCH(int, startValue);
        bar("hscPicture")->setValue(-startValue);
        if (hostButton != 0)
            connect(m_control.get(), &ZoomwellCtl::MouseDown, this,
                    [hostButton](short &Button, short &, float &, float &) { Button = hostButton; });

        const QPoint pressedAt = m_control->mapToGlobal(QPoint(150, 120));
        QTest::mousePress(canvas(), button, {}, canvas()->mapFromGlobal(pressedAt));
        QTEST(cursorShapeWidth(canvas()->cursor()), "cursorWhilePressed");
        for (int offset : offsets)
            QTest::mouseMove(canvas(), canvas()->mapFromGlobal(pressedAt + QPoint(offset, 0)));
        QTest::mouseRelease(canvas(), button, {}, canvas()->mapFromGlobal(pressedAt + QPoint(offsets.last(), 0)));

        QTEST(canvas()->x(), "canvasX");
        QCOMPARE(-bar("hscPicture")->value(), bar("hscPicture")->isVisible() ? canvas()->x() : 0);
        QCOMPARE(cursorShapeWidth(canvas()->cursor()), kPanCursor);
    }

    void arrowKeyFocusesABarAwayFromItsEnd_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("start"); // horizontal and vertical values
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QPoint>("afterSecondKey"); // the focused bar scrolls by 5

        const QPoint start(-50, -50);
        QTest::newRow("left at the left end") << int(Qt::Key_Left) << QPoint(0, -50) << QString() << QPoint(0, -50);
        QTest::newRow("right") << int(Qt::Key_Right) << start << QStringLiteral("hscPicture") << QPoint(-55, -50);
        QTest::newRow("down") << int(Qt::Key_Down) << start << QStringLiteral("vscPicture") << QPoint(-50, -55);
        QTest::newRow("other key") << int(Qt::Key_PageDown) << start << QString() << start;
    }

    void arrowKeyFocusesABarAwayFromItsEnd()
    {
        QFETCH(int, key);
        QFETCH(QPoint, start);
        m_control->LoadImage(testFile("large.png"));
        bar("hscPicture")->setValue(-start.x());
        bar("vscPicture")->setValue(-start.y());
        m_control->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_control.get()));
        m_control->setFocus();

        QTest::keyClick(m_control.get(), Qt::Key(key));

        QWidget *focused = QApplication::focusWidget();
        QTEST(focused == m_control.get() ? QString() : focused->objectName(), "focus");
        QCOMPARE(canvas()->pos(), start); // the first key only moves the focus
        QTest::keyClick(focused, Qt::Key(key));
        QTEST(canvas()->pos(), "afterSecondKey");
    }

    void toolbarFollowsTheCursor_data()
    {
        QTest::addColumn<bool>("picture");
        QTest::addColumn<QString>("over"); // after the canvas; a name no child has: outside the control
        QTest::addColumn<bool>("shown");

        QTest::newRow("corner box") << true << QStringLiteral("picTemp") << true;
        QTest::newRow("toolbar button") << true << QStringLiteral("button") << true;
        QTest::newRow("scroll bar") << true << QStringLiteral("hscPicture") << false;
        QTest::newRow("outside the control") << true << QStringLiteral("outside") << false;
        QTest::newRow("no picture: stays as it is") << false << QStringLiteral("outside") << true;
    }

    void toolbarFollowsTheCursor()
    {
        QFETCH(bool, picture);
        QFETCH(QString, over);
        if (picture)
            m_control->LoadImage(testFile("large.png"));
        m_control->setUseQuickBar(kTrue);
        m_control->setAllowZoomIn(kTrue);
        QCursor::setPos(m_control->mapToGlobal(QPoint(250, 60))); // the canvas is scrolled: inside the frame

        QTRY_VERIFY(button(0)->isEnabled() && !button(1)->isEnabled());
        QTest::qWait(kTickWaitMs);
        QCOMPARE(toolbar()->isVisible(), picture);
        toolbar()->show();
        const QWidget *under = over == QLatin1String("button") ? toolbar()->widgetForAction(button(1))
                                                               : child(*m_control, qPrintable(over));
        QCursor::setPos(under ? under->mapToGlobal(QPoint(5, 5)) : m_control->mapToGlobal(QPoint(-50, -50)));
        QTest::qWait(kTickWaitMs);
        QTEST(toolbar()->isVisible(), "shown");
        if (over == QLatin1String("button")) {
            EventLog log(m_control.get());
            for (QAction *action : toolbar()->actions())
                QTest::mouseClick(toolbar()->widgetForAction(action), Qt::LeftButton);
            // Nothing zooms: the host decides what a button means. Zoom Out is off.
            QCOMPARE(log.events, (QStringList{"ZoomInClick", "MaxClick"}));
        }
    }

    // Zoom Out is off; the keys reach the control from where the focus is.
    void keysPressTheQuickBarButtons_data()
    {
        QTest::addColumn<QString>("target"); // a child by name, or the control itself
        QTest::addColumn<int>("key");
        QTest::addColumn<short>("quickBar");
        QTest::addColumn<QStringList>("events");

        const QStringList maximize{QStringLiteral("MaxClick")};
        QTest::newRow("+ on the canvas") << "picView" << int(Qt::Key_Plus) << kTrue << QStringList{"ZoomInClick"};
        QTest::newRow("- with Zoom Out off") << "picView" << int(Qt::Key_Minus) << kTrue << QStringList();
        QTest::newRow("Enter on the control") << QString() << int(Qt::Key_Return) << kTrue << maximize;
        QTest::newRow("keypad Enter") << "picView" << int(Qt::Key_Enter) << kTrue << maximize;
        QTest::newRow("F on a scroll bar") << "hscPicture" << int(Qt::Key_F) << kTrue << maximize;
        QTest::newRow("no quick toolbar") << "picView" << int(Qt::Key_F) << kFalse << QStringList();
    }

    void keysPressTheQuickBarButtons()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(short, quickBar);
        m_control->LoadImage(testFile("large.png"));
        m_control->setUseQuickBar(quickBar);
        m_control->setAllowZoomIn(kTrue);
        if (quickBar != kFalse)
            QTRY_VERIFY(button(0)->isEnabled() && !button(1)->isEnabled());
        QWidget *receiver = target.isEmpty() ? m_control.get() : child(*m_control, qPrintable(target));
        EventLog log(m_control.get());

        QTest::keyClick(receiver, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);

        QTEST(log.events, "events");
        QCOMPARE(toolbar()->actions().at(2)->toolTip(), QStringLiteral("Maximize (Enter or F)"));
    }

    void wheelScrollsOrAsksToZoom_data()
    {
        QTest::addColumn<QList<QPoint>>("turns"); // eighths of a degree, 120 a notch; up or away is positive
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<short>("allowed"); // AllowZoomIn and AllowZoomOut
        QTest::addColumn<QString>("over"); // the canvas, or the frame beside it
        QTest::addColumn<QPoint>("end"); // from (-100, -100); a notch is three lines of 20 pixels
        QTest::addColumn<QStringList>("events");

        const Qt::KeyboardModifiers none;
        const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
        const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
        const QString canvas = QStringLiteral("picView");
        const QPoint start(-100, -100);
        const QStringList in{QStringLiteral("ZoomInClick")};
        const QStringList out{QStringLiteral("ZoomOutClick")};
        const QStringList no;
        // clang-format off
        QTest::newRow("down a notch") << QList<QPoint>{{0, -120}} << none << kTrue << canvas << QPoint(-100, -160) << no;
        QTest::newRow("up five notches stops at the top") << QList<QPoint>{{0, 600}} << none << kTrue << canvas << QPoint(-100, 0) << no;
        QTest::newRow("shift turns it across") << QList<QPoint>{{0, -120}} << shift << kTrue << canvas << QPoint(-160, -100) << no;
        QTest::newRow("horizontal wheel") << QList<QPoint>{{-120, 0}} << none << kTrue << canvas << QPoint(-160, -100) << no;
        QTest::newRow("ctrl: down two notches zoom out twice") << QList<QPoint>{{0, -240}} << ctrl << kTrue << canvas << start << out + out;
        QTest::newRow("ctrl: parts of a notch add up") << QList<QPoint>{{0, 60}, {0, 30}, {0, 30}} << ctrl << kTrue << canvas << start << in;
        QTest::newRow("ctrl: a turn back starts again") << QList<QPoint>{{0, 90}, {0, -60}, {0, 90}} << ctrl << kTrue << canvas << start << no;
        QTest::newRow("ctrl: not while the buttons are off") << QList<QPoint>{{0, 120}, {0, -120}} << ctrl << kFalse << canvas << start << no;
        QTest::newRow("ctrl: beside the picture too") << QList<QPoint>{{0, -120}} << ctrl << kTrue << "picMain" << start << out;
        // clang-format on
    }

    void wheelScrollsOrAsksToZoom()
    {
        QFETCH(QList<QPoint>, turns);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(short, allowed);
        QFETCH(QString, over);
        m_control->LoadImage(testFile("large.png"));
        m_control->setAllowZoomIn(allowed);
        m_control->setAllowZoomOut(allowed);
        bar("hscPicture")->setValue(100);
        bar("vscPicture")->setValue(100);
        EventLog log(m_control.get());

        QWidget *target = child(*m_control, qPrintable(over));
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        for (const QPoint turn : turns) {
            QWheelEvent event(at, target->mapToGlobal(at), {}, turn, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &event);
        }

        QTEST(canvas()->pos(), "end");
        QTEST(log.events, "events");
    }

    void loadWithoutAPathAsksForAFile()
    {
        m_control->LoadImage(testFile("yellow.png"));
        m_control->setZoom(150);
        const QVariantList shown = shownState(*m_control);
        OpenFileDialog::Request asked;
        QString answer; // empty: cancelled
        child<OpenFileDialog>(*m_control, "CDlgPicture")->setChooser([&](const auto &request) {
            asked = request;
            return answer;
        });
        EventLog log(m_control.get());

        m_control->LoadImage();
        m_control->LoadDecodedImage(QString(), makePicture(QImage(QSize(30, 30), QImage::Format_RGB32)));

        QVERIFY2(QFileInfo::exists(asked.initialFolder + QStringLiteral("/libLensbox.so")),
                 qPrintable(asked.initialFolder));
        QCOMPARE(shownState(*m_control), shown);
        answer = testFile("blue.bmp");
        m_control->LoadImage();
        QCOMPARE(canvas()->size(), QSize(100, 100));
        m_control->LoadImage(); // at zoom 100 already: the event comes anyway
        QCOMPARE(log.events, (QStringList{"ZoomChanged 100", "ZoomChanged 100"}));
    }

    void photosShowUpright()
    {
        if (m_shared.isEmpty())
            QSKIP("the shared test images are not beside this checkout (set TOVIN_TESTDATA)");
        const auto shrunk = [this](const char *number) {
            m_control->LoadImage(testFile(QStringLiteral("orientation/Landscape_%1.jpg").arg(number)));
            return m_control->Picture()->image().scaled(4, 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        // Shrunk to 4 x 4 pixels, the same scene differs by a few grey levels, a turned one by far more.
        const auto difference = [](const QImage &a, const QImage &b) {
            int total = 0;
            for (int i = 0; i < 16; ++i)
                total += std::abs(qGray(a.pixel(i % 4, i / 4)) - qGray(b.pixel(i % 4, i / 4)));
            return total;
        };
        const QImage upright = shrunk("1"); // stored as it is seen
        const QSize size = canvas()->size();

        for (const char *turned : {"3", "6", "8"}) {
            const QImage shown = shrunk(turned);
            QCOMPARE(canvas()->size(), size);
            QVERIFY2(difference(shown, upright) * 4 < difference(shown, upright.mirrored(true, true)), turned);
        }
    }

    void unreadableFileNeverShowsAStaleCanvas_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("unloadedFirst");
        QTest::addColumn<bool>("decodedByTheHost");

        QTest::newRow("header claims 65535 x 65535") << "unusual/max_size.jpg" << false << false;
        QTest::newRow("missing file") << "unusual/no-such-file.jpg" << false << false;
        QTest::newRow("no frame header, decoded by the host") << "unusual/missing-sof.jpg" << false << true;
        QTest::newRow("no frame header after unload") << "unusual/missing-sof.jpg" << true << false;
    }

    // The picture held before is shown again at 100; with none, nothing rather than the old canvas.
    void unreadableFileNeverShowsAStaleCanvas()
    {
        QFETCH(QString, file);
        QFETCH(bool, unloadedFirst);
        QFETCH(bool, decodedByTheHost);
        if (m_shared.isEmpty())
            QSKIP("the shared test images are not beside this checkout (set TOVIN_TESTDATA)");
        m_control->LoadImage(testFile("yellow.png"));
        m_control->setZoom(300);
        EventLog log(m_control.get());
        if (unloadedFirst) {
            // Unloading keeps the zoom and the canvas, and later zooms leave it.
            m_control->UnloadImage();
            QCOMPARE(m_control->Zoom(), 300.0);
            m_control->setZoom(150);
            QCOMPARE(canvas()->size(), QSize(360, 270));
            QVERIFY(!button(0)->isEnabled() && !button(1)->isEnabled());
        }
        const quint32 handle = m_control->Picture()->Handle();
        QCOMPARE(handle == 0, unloadedFirst);

        if (decodedByTheHost)
            m_control->LoadDecodedImage(testFile(file), loadPicture(testFile(file)));
        else
            m_control->LoadImage(testFile(file));

        QCOMPARE(m_control->Picture()->Handle(), handle);
        QCOMPARE(log.events,
                 (unloadedFirst ? QStringList{"ZoomChanged 150", "ZoomChanged 100"} : QStringList{"ZoomChanged 100"}));
        QCOMPARE(canvas()->size(), unloadedFirst ? QSize(0, 0) : QSize(120, 90));
        m_control->setZoom(200);
        QCOMPARE(canvas()->size(), unloadedFirst ? QSize(0, 0) : QSize(240, 180));
    }

    void largePhotoLoads()
    {
        // 192 MB decoded, above Qt's default limit of 128 MB
        QVERIFY(filled(QSize(8000, 6000), QColor(90, 140, 60)).save(testFile("large.jpg"), "JPG", 30));

        m_control->LoadImage(testFile("large.jpg"));

        QCOMPARE(canvas()->size(), QSize(8000, 6000));
    }

    // Decoded on another thread, in another format, a picture shows and zooms as a loaded one.
    void decodedPictureShowsLikeALoadedOne()
    {
        const QImage decoded = std::async(std::launch::async, loadPicture, testFile("large.png")).get()->image();
        QList<QVariantList> shown;

        for (const bool byTheHost : {false, true}) {
            ZoomwellCtl control;
            QVERIFY(start(control));
            control.LoadImage(testFile("yellow.png"));
            control.setZoom(150);
            EventLog log(&control);
            if (byTheHost)
                control.LoadDecodedImage(testFile("large.png"),
                                         makePicture(decoded.convertToFormat(QImage::Format_RGB888)));
            else
                control.LoadImage(testFile("large.png"));
            shown << shownState(control);
            control.setZoom(250);
            QCoreApplication::processEvents();
            shown.last() << shownState(control) << log.events;
        }

        QCOMPARE(shown.last(), shown.first());
    }

    void paintPictureDrawsOnTheCanvas()
    {
        m_control->LoadImage(testFile("blue.bmp"));
        const PictureRef red = makePicture(filled(QSize(10, 10), Qt::red));

        m_control->PaintPicture(red, 5, 5); // native size
        m_control->PaintPicture(red, 40, 40, 20.0f, 30.0f); // stretched

        const QImage drawn = m_control->Image()->image();
        for (const QPoint inside : {QPoint(5, 5), QPoint(14, 14), QPoint(59, 69)})
            QCOMPARE(drawn.pixelColor(inside), QColor(Qt::red));
        for (const QPoint outside : {QPoint(15, 15), QPoint(60, 70)})
            QCOMPARE(drawn.pixelColor(outside), QColor(Qt::blue));
        m_control->Cls();
        QCOMPARE(m_control->Image()->image().pixelColor(5, 5), QColor(Qt::blue));
    }

    // Set on a shown control or before its window is laid out, a picture is laid
    // out in one pass, corner box included, and keeps its native size.
    void pictureSetLaysOutLikeALoad()
    {
        m_control->LoadImage(testFile("large.png"));
        for (const bool beforeShow : {false, true}) {
            QWidget window;
            auto *control = new ZoomwellCtl;
            control->initProperties();
            (new QVBoxLayout(&window))->addWidget(control);
            window.resize(400, 300);
            if (beforeShow)
                control->setPicture(m_control->Picture());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            if (!beforeShow)
                control->setPicture(m_control->Picture());
            QCoreApplication::processEvents();

            const QWidget *corner = child(*control, "picTemp");
            const auto *h = child<QScrollBar>(*control, "hscPicture");
            const auto *v = child<QScrollBar>(*control, "vscPicture");
            QVERIFY(h->isVisible() && v->isVisible() && corner->isVisible());
            QCOMPARE(corner->geometry(), QRect(v->x(), h->y(), v->width(), h->height()));
            control->setZoom(200);
            QCOMPARE(child(*control, "picView")->size(), QSize(1000, 800));
        }
    }

    void zoomingATransparentPictureKeepsOneDrawing()
    {
        const QImage glass = filled(QSize(200, 150), QColor(0, 0, 255, 128), QImage::Format_ARGB32);
        m_control->LoadDecodedImage(QStringLiteral("glass.png"), makePicture(glass));
        m_control->setZoom(300);
        const QColor once = m_control->Image()->image().pixelColor(100, 100);

        // A drawing over the whole canvas replaces the ones before: kept, they show through it
        // and every repaint draws them all again.
        for (int zoom = 101; zoom <= 300; ++zoom)
            m_control->setZoom(zoom);

        QCOMPARE(m_control->Image()->image().pixelColor(100, 100), once);
    }

    // One white column in four: every pixel of a view reduced to 100 pixels is a
    // quarter white, where picking single source pixels gives stripes.
    void reducedViewAveragesThePixels()
    {
        const int side = 400;
        QImage lines(side, side, QImage::Format_RGB32);
        for (int x = 0; x < side; ++x)
            QPainter(&lines).fillRect(x, 0, 1, side, x % 4 ? Qt::black : Qt::white);
        m_control->LoadDecodedImage(QStringLiteral("lines.png"), makePicture(lines));

        m_control->setZoom(100.0 * 100 / side);

        QCOMPARE(m_control->Image()->image().size(), QSize(100, 100));
        const auto worstGrey = [this] {
            int worst = 0;
            for (int x = 10; x < 90; ++x)
                worst = std::max(worst, std::abs(qGray(m_control->Image()->image().pixel(x, 50)) - 64));
            return worst;
        };
        QTRY_VERIFY2(worstGrey() <= 24, qPrintable(QStringLiteral("a grey %1 off a quarter white").arg(worstGrey())));
    }

    // A reduced decode gives way to the full picture at the same shown size and place;
    // a place stored at another zoom no longer fits the ranges and is dropped.
    void quickPictureGivesWayToTheFullOne()
    {
        const QImage full = filled(QSize(1600, 1200), Qt::darkGreen);
        m_control->LoadDecodedImage(QStringLiteral("quick.png"), makePicture(full.scaled(400, 300)));
        m_control->setZoom(200);
        bar("hscPicture")->setValue(50);
        bar("vscPicture")->setValue(30);
        m_control->setAutoRedraw(kFalse); // a repaint raises Paint
        QCoreApplication::processEvents();
        const QPoint place = canvas()->pos();
        EventLog log(m_control.get());

        m_control->StorePosition();
        m_control->setPicture(makePicture(full));
        m_control->setZoom(50);
        m_control->RecallPosition();

        QCOMPARE(log.events, (QStringList{"ZoomChanged 100", "ZoomChanged 50"})); // no Paint in between
        QCoreApplication::processEvents();
        QCOMPARE(canvas()->pos(), place); // and nothing left for later moved the view
        QCOMPARE(canvas()->size(), QSize(800, 600));
        m_control->setZoom(75);
        const QPoint centred = canvas()->pos();
        QVERIFY(centred != place);
        m_control->RecallPosition();
        QCOMPARE(canvas()->pos(), centred);
    }
};

QTEST_MAIN(ZoomwellCtlTest)

#include "tst_zoomwellctl.moc"
