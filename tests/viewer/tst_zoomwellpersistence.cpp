#include "viewertestsupport.h"

#include <lensbox/controlfactory.h>
#include <lensbox/propertybag.h>
#include <lensbox/scrollcolorfix.h>
#include <lensbox/zoomwellctl.h>

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

using lensbox::kFalse;
using lensbox::kTrue;
using lensbox::PropertyBag;
using lensbox::ZoomwellCtl;
using viewertest::child;

namespace {

constexpr lensbox::OleColor kRed = 0x0000FF;

QVariant boolean(short value)
{
    return QVariant::fromValue(value);
}

bool isRed(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window) == QColor(Qt::red);
}

} // namespace

class ZoomwellPersistenceTest : public QObject
{
    Q_OBJECT

private slots:
    void emptyBagGivesDefaults();
    void lowerCaseNamesAreRead_data();
    void lowerCaseNamesAreRead();
    void onlyChangedPropertiesAreWritten();
    void bagMatchesNamesWithoutCase();
    void factoryKnowsOneIdentifier();
    void scrollColorFixHooksOneWindowAtATime();
    void setsAreCheckedAndReported_data();
    void setsAreCheckedAndReported();
};

void ZoomwellPersistenceTest::emptyBagGivesDefaults()
{
    ZoomwellCtl control;
    control.setAutoRedraw(kFalse);
    control.setBackColor(kRed);
    control.setEnabled(kFalse);
    control.setMousePointer(2);

    control.readProperties(PropertyBag());

    QCOMPARE(control.AutoRedraw(), kTrue);
    QCOMPARE(control.BackColor(), lensbox::kApplicationWorkspace);
    QCOMPARE(control.Enabled(), kTrue);
    QCOMPARE(control.MousePointer(), short(0));
    for (short value : {control.AllowZoomIn(), control.AllowZoomOut(), control.UseQuickBar(), control.PanActive()})
        QCOMPARE(value, kFalse);
    QVERIFY2(isRed(child(control, "picMain")), "the back colour read goes to the canvas only");
    QVERIFY2(!isRed(child(control, "hscPicture")), "reading the bag protects the bars from the frame's colour");
}

void ZoomwellPersistenceTest::lowerCaseNamesAreRead_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<short>("value");
    QTest::addColumn<int>("canvasCursor"); // width of the pan cursor's shape, 0 for none

    QTest::newRow("True") << boolean(kTrue) << kTrue << 15;
    QTest::newRow("bool true") << QVariant(true) << kTrue << 15;
    QTest::newRow("set but not True") << boolean(1) << short(1) << 0;
}

void ZoomwellPersistenceTest::lowerCaseNamesAreRead()
{
    QFETCH(QVariant, stored);
    QFETCH(short, value);
    PropertyBag bag;
    for (const char *name : {"allowzoomin", "allowzoomout", "usequickbar", "panactive"})
        bag.write(QString::fromLatin1(name), stored, boolean(kFalse));
    ZoomwellCtl control;
    QSignalSpy changed(&control, &ZoomwellCtl::propertyChanged);

    control.readProperties(bag);

    for (short read : {control.AllowZoomIn(), control.AllowZoomOut(), control.UseQuickBar(), control.PanActive()})
        QCOMPARE(read, value);
    QTEST(viewertest::cursorShapeWidth(child(control, "picView")->cursor()), "canvasCursor");
    QCOMPARE(changed.size(), 0); // reading the saved values changes nothing to save
}

void ZoomwellPersistenceTest::onlyChangedPropertiesAreWritten()
{
    ZoomwellCtl control;
    control.initProperties();
    PropertyBag bag;
    control.writeProperties(bag);
    QVERIFY2(bag.names().isEmpty(), qPrintable(bag.names().join(u',')));

    control.setMousePointer(11);
    control.setBackColor(kRed);
    QVERIFY2(!isRed(child(control, "vscPicture")), "a new instance protects the bars from the frame's colour");
    control.writeProperties(bag);
    QCOMPARE(bag.names(), (QStringList{QStringLiteral("BackColor"), QStringLiteral("MousePointer")}));

    ZoomwellCtl copy;
    copy.readProperties(bag);
    QCOMPARE(copy.BackColor(), kRed);
    QCOMPARE(copy.cursor().shape(), Qt::WaitCursor);
}

void ZoomwellPersistenceTest::bagMatchesNamesWithoutCase()
{
    PropertyBag bag;
    bag.write(QStringLiteral("PanActive"), boolean(kTrue), boolean(kFalse));
    bag.write(QStringLiteral("panactive"), boolean(1), boolean(kFalse));
    QCOMPARE(bag.names().size(), 1);
    QCOMPARE(bag.read(QStringLiteral("PANACTIVE"), boolean(kFalse)), boolean(1));

    // Writing the default forgets what an earlier save left under the name.
    bag.write(QStringLiteral("PanActive"), boolean(kFalse), boolean(kFalse));
    QVERIFY(!bag.contains(QStringLiteral("panactive")));
}

void ZoomwellPersistenceTest::factoryKnowsOneIdentifier()
{
    const lensbox::ControlCreation made = lensbox::createControl(QStringLiteral("lensbox.zoomwellctl")); // any case
    const std::unique_ptr<ZoomwellCtl> owned(made.control);
    QVERIFY(made.control && made.error.isEmpty());

    const lensbox::ControlCreation unknown = lensbox::createControl(QStringLiteral("Lensbox.Other"));
    QCOMPARE(unknown.control, nullptr);
    QVERIFY2(unknown.error.contains(QStringLiteral("Lensbox.Other")), qPrintable(unknown.error));
}

void ZoomwellPersistenceTest::scrollColorFixHooksOneWindowAtATime()
{
    QWidget first;
    QWidget second;
    const auto *firstBar = new QScrollBar(&first);
    const auto *secondBar = new QScrollBar(&second);
    QPalette red;
    red.setColor(QPalette::Window, Qt::red);
    lensbox::ScrollColorFix fix;

    fix.install(&first);
    first.setPalette(red);
    QVERIFY(!isRed(firstBar));

    fix.install(&second);
    QVERIFY2(isRed(firstBar), "unhooked, the bar inherits again");
    second.setPalette(red);
    QVERIFY(!isRed(secondBar));

    fix.remove();
    QCOMPARE(fix.hookedWindow(), nullptr);
    QVERIFY(isRed(secondBar));
}

void ZoomwellPersistenceTest::setsAreCheckedAndReported_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("marksChanged"); // the host saves it with the window

    const auto number = [](short value) { return QVariant::fromValue(value); };
    for (const char *name : {"AllowZoomIn", "AllowZoomOut", "AutoRedraw", "Enabled", "PanActive", "UseQuickBar"})
        QTest::addRow("%s", name) << QString::fromLatin1(name) << number(kFalse) << true << true;
    QTest::newRow("BackColor") << "BackColor" << QVariant::fromValue(kRed) << true << true;
    QTest::newRow("MousePointer 11") << "MousePointer" << number(11) << true << true;
    QTest::newRow("MousePointer 200") << "MousePointer" << number(200) << false << false;
    QTest::newRow("MousePointer -1") << "MousePointer" << number(-1) << false << false;
    QTest::newRow("Zoom 150") << "Zoom" << QVariant(150.0) << true << false;
    QTest::newRow("Zoom NaN") << "Zoom" << QVariant(std::nan("")) << false << false;
    QTest::newRow("Zoom infinite") << "Zoom" << QVariant(std::numeric_limits<double>::infinity()) << false << false;
    QTest::newRow("Zoom beyond 32 bits") << "Zoom" << QVariant(3e9) << false << false;
}

void ZoomwellPersistenceTest::setsAreCheckedAndReported()
{
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    QFETCH(bool, accepted);
    QFETCH(bool, marksChanged);
    ZoomwellCtl control;
    control.initProperties();
    control.setMousePointer(2);
    control.setZoom(120);
    const QVariant before = control.property(qPrintable(property));
    QSignalSpy changed(&control, &ZoomwellCtl::propertyChanged);
    QSignalSpy zoomChanged(&control, &ZoomwellCtl::ZoomChanged);

    // Only the pointer and the zoom can refuse a value; they say so.
    bool taken = true;
    if (property == QLatin1String("MousePointer"))
        taken = control.setMousePointer(value.value<short>());
    else if (property == QLatin1String("Zoom"))
        taken = control.setZoom(value.toDouble());
    else
        QVERIFY(control.setProperty(qPrintable(property), value));
    QCOMPARE(taken, accepted);

    const QVariant now = control.property(qPrintable(property));
    QVariant expected = accepted ? value : before; // a refused value leaves the old one
    QVERIFY(expected.convert(now.metaType()));
    QCOMPARE(now, expected);
    QCOMPARE(changed.size(), marksChanged ? 1 : 0);
    if (marksChanged)
        QCOMPARE(changed.first().first().toString(), property);
    if (property == QLatin1String("Zoom"))
        QCOMPARE(zoomChanged.size(), accepted ? 1 : 0);
}

QTEST_MAIN(ZoomwellPersistenceTest)

#include "tst_zoomwellpersistence.moc"
