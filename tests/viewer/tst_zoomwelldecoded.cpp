#include "viewertestsupport.h"

#include <lensbox/pictureloader.h>
#include <lensbox/zoomwellctl.h>

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <memory>

using lensbox::ZoomwellCtl;
using viewertest::child;

namespace {

// The events a host sees during a load, in the order it sees them.
class EventLog : public QObject
{
public:
    explicit EventLog(ZoomwellCtl *control)
    {
        connect(control, &ZoomwellCtl::ZoomChanged, this,
                [this](qint32 percent) { events << QStringLiteral("ZoomChanged %1").arg(percent); });
        connect(control, &ZoomwellCtl::Scroll, this, [this] { events << QStringLiteral("Scroll"); });
        connect(control, &ZoomwellCtl::Resize, this, [this] { events << QStringLiteral("Resize"); });
        connect(control, &ZoomwellCtl::propertyChanged, this,
                [this](const QString &name) { events << QStringLiteral("propertyChanged ") + name; });
    }
    QStringList events;
};

// What a host can observe of the control after a load.
struct ShownState {
    QImage picture;
    double zoom = 0;
    QRect canvas;
    lensbox::ScrollBarState horizontal;
    lensbox::ScrollBarState vertical;
    bool cornerVisible = false;
};

ShownState shownState(const ZoomwellCtl &control)
{
    const lensbox::PictureRef picture = control.Picture();
    return {lensbox::holdsPicture(picture) ? picture->image() : QImage(),
            control.Zoom(),
            child(control, "picView")->geometry(),
            control.viewGeometry().horizontal(),
            control.viewGeometry().vertical(),
            control.viewGeometry().cornerVisible()};
}

void compareStates(const ShownState &decoded, const ShownState &loaded)
{
    QCOMPARE(decoded.picture.format(), loaded.picture.format());
    QCOMPARE(decoded.picture, loaded.picture);
    QCOMPARE(decoded.zoom, loaded.zoom);
    QCOMPARE(decoded.canvas, loaded.canvas);
    QCOMPARE(decoded.horizontal.visible, loaded.horizontal.visible);
    QCOMPARE(decoded.horizontal.maximum, loaded.horizontal.maximum);
    QCOMPARE(decoded.horizontal.value, loaded.horizontal.value);
    QCOMPARE(decoded.vertical.visible, loaded.vertical.visible);
    QCOMPARE(decoded.vertical.maximum, loaded.vertical.maximum);
    QCOMPARE(decoded.vertical.value, loaded.vertical.value);
    QCOMPARE(decoded.cornerVisible, loaded.cornerVisible);
}

} // namespace

class ZoomwellDecodedTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void decodedLoadMatchesLoadImage_data();
    void decodedLoadMatchesLoadImage();
    void pictureInAnotherFormatIsShownLikeALoadedOne();
    void withoutAPathNothingHappens();

private:
    std::unique_ptr<ZoomwellCtl> makeControl() const;
    QString testFile(const QString &file) const;

    QTemporaryDir m_folder;
    QString m_shared; // the shared test images, empty when not beside the checkout
    std::unique_ptr<ZoomwellCtl> m_loaded; // LoadImage
    std::unique_ptr<ZoomwellCtl> m_decoded; // LoadDecodedImage
};

void ZoomwellDecodedTest::initTestCase()
{
    const QString shared = qEnvironmentVariable("TOVIN_TESTDATA");
    if (QFileInfo(shared + QStringLiteral("/orientation")).isDir())
        m_shared = shared;
    QVERIFY(!viewertest::writePicture(m_folder.path(), QStringLiteral("wide.png"), {900, 120}, Qt::yellow).isEmpty());
    QVERIFY(!viewertest::writePicture(m_folder.path(), QStringLiteral("small.bmp"), {100, 100}, Qt::blue).isEmpty());
}

std::unique_ptr<ZoomwellCtl> ZoomwellDecodedTest::makeControl() const
{
    auto control = std::make_unique<ZoomwellCtl>();
    control->initProperties();
    control->resize(400, 300);
    control->show();
    return control;
}

void ZoomwellDecodedTest::init()
{
    m_loaded = makeControl();
    m_decoded = makeControl();
    QVERIFY(QTest::qWaitForWindowExposed(m_loaded.get()));
    QVERIFY(QTest::qWaitForWindowExposed(m_decoded.get()));
}

void ZoomwellDecodedTest::cleanup()
{
    m_loaded.reset();
    m_decoded.reset();
}

QString ZoomwellDecodedTest::testFile(const QString &file) const
{
    // Files of the shared set are named by their folder there.
    return file.contains(u'/') ? m_shared + u'/' + file : m_folder.filePath(file);
}

void ZoomwellDecodedTest::decodedLoadMatchesLoadImage_data()
{
    QTest::addColumn<QString>("before"); // shown first at zoom 150, empty: nothing
    QTest::addColumn<QString>("file");

    QTest::newRow("picture wider than the frame") << ""
                                                  << "wide.png";
    QTest::newRow("picture smaller than the frame, over a wide one") << "wide.png"
                                                                     << "small.bmp";
    QTest::newRow("photo turned by its EXIF tag") << "small.bmp"
                                                  << "orientation/Portrait_6.jpg";
    QTest::newRow("grey JPEG") << ""
                               << "unusual/jpg-gray.jpg";
    QTest::newRow("unreadable file over a picture") << "wide.png"
                                                    << "unusual/missing-sof.jpg";
    QTest::newRow("missing file on an empty control") << ""
                                                      << "unusual/no-such-file.jpg";
}

void ZoomwellDecodedTest::decodedLoadMatchesLoadImage()
{
    QFETCH(QString, before);
    QFETCH(QString, file);
    if ((file + before).contains(u'/') && m_shared.isEmpty())
        QSKIP("the shared test images are not beside this checkout (set TOVIN_TESTDATA)");
    const QString path = testFile(file);
    if (!before.isEmpty()) {
        m_loaded->LoadImage(testFile(before));
        m_decoded->LoadImage(testFile(before));
        m_loaded->setZoom(150);
        m_decoded->setZoom(150);
    }
    // Decoded on another thread, as a host keeps the decode off its window's.
    const lensbox::PictureRef upright = std::async(std::launch::async, lensbox::loadPicture, path).get();

    EventLog loadedEvents(m_loaded.get());
    EventLog decodedEvents(m_decoded.get());
    m_loaded->LoadImage(path);
    m_decoded->LoadDecodedImage(path, upright);
    QCOMPARE(decodedEvents.events, loadedEvents.events);
    QVERIFY(decodedEvents.events.contains(QStringLiteral("ZoomChanged 100")));
    compareStates(shownState(*m_decoded), shownState(*m_loaded));

    // The path is kept alike: a later zoom lays out both the same way, and
    // the pending layout after events settles them the same too.
    m_loaded->setZoom(250);
    m_decoded->setZoom(250);
    QCoreApplication::processEvents();
    QCOMPARE(decodedEvents.events, loadedEvents.events);
    compareStates(shownState(*m_decoded), shownState(*m_loaded));
    QCOMPARE(m_decoded->grab().toImage(), m_loaded->grab().toImage());
    const QImage shown = shownState(*m_decoded).picture;
    if (!shown.isNull())
        QCOMPARE(child(*m_decoded, "picView")->size(), shown.size() * 2.5);
}

void ZoomwellDecodedTest::pictureInAnotherFormatIsShownLikeALoadedOne()
{
    const QString path = testFile(QStringLiteral("wide.png"));
    m_loaded->LoadImage(path);
    m_decoded->LoadDecodedImage(path, lensbox::makePicture(QImage(path).convertToFormat(QImage::Format_RGB888)));
    compareStates(shownState(*m_decoded), shownState(*m_loaded));
}

void ZoomwellDecodedTest::withoutAPathNothingHappens()
{
    m_decoded->LoadImage(testFile(QStringLiteral("small.bmp")));
    m_decoded->setZoom(150);
    const ShownState shown = shownState(*m_decoded);
    EventLog events(m_decoded.get());

    m_decoded->LoadDecodedImage(QString(), lensbox::makePicture(QImage(QSize(30, 30), QImage::Format_RGB32)));

    QCOMPARE(events.events, QStringList());
    compareStates(shownState(*m_decoded), shown);
}

QTEST_MAIN(ZoomwellDecodedTest)
#include "tst_zoomwelldecoded.moc"
