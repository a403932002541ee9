#include "viewertestsupport.h"

#include <lensbox/openfiledialog.h>
#include <lensbox/zoomwellctl.h>

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using lensbox::OpenFileDialog;
using lensbox::ZoomwellCtl;
using viewertest::child;

namespace {

// Shrunk to 4 x 4 pixels, the same scene differs by a few grey levels, a
// turned one by far more.
int difference(const QImage &a, const QImage &b)
{
    const QImage x = a.scaled(4, 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage y = b.scaled(4, 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int total = 0;
    for (int i = 0; i < 16; ++i)
        total += std::abs(qGray(x.pixel(i % 4, i / 4)) - qGray(y.pixel(i % 4, i / 4)));
    return total;
}

} // namespace

class ZoomwellLoadingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openFileDialog();
    void photosShowUpright_data();
    void photosShowUpright();
    void unreadableFileNeverShowsAStaleCanvas_data();
    void unreadableFileNeverShowsAStaleCanvas();
    void largePhotoLoads();
    void pictureIsSharedByReference();
    void paintPictureDrawsOnTheCanvas();

private:
    QString shared(const QString &file) const { return m_shared + QLatin1Char('/') + file; }
    OpenFileDialog *dialog() const { return m_control->findChild<OpenFileDialog *>(QStringLiteral("CDlgPicture")); }

    QTemporaryDir m_folder;
    QString m_shared; // the shared test images, empty when not beside the checkout
    QString m_blue; // 100 x 100
    QString m_yellow; // 120 x 90
    std::unique_ptr<ZoomwellCtl> m_control;
};

void ZoomwellLoadingTest::initTestCase()
{
    const QString shared = qEnvironmentVariable("TOVIN_TESTDATA");
    if (QFileInfo(shared + QStringLiteral("/orientation")).isDir())
        m_shared = shared;
    m_blue = viewertest::writePicture(m_folder.path(), QStringLiteral("blue.bmp"), {100, 100}, Qt::blue);
    m_yellow = viewertest::writePicture(m_folder.path(), QStringLiteral("yellow.png"), {120, 90}, Qt::yellow);
    QVERIFY(!m_blue.isEmpty() && !m_yellow.isEmpty());
}

void ZoomwellLoadingTest::init()
{
    m_control = std::make_unique<ZoomwellCtl>();
    m_control->InitProperties();
    m_control->resize(400, 300);
    m_control->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_control.get()));
}

void ZoomwellLoadingTest::cleanup()
{
    m_control.reset();
}

void ZoomwellLoadingTest::openFileDialog()
{
    m_control->LoadImage(m_yellow);
    m_control->setZoom(150);
    const quint32 handle = m_control->Picture()->Handle();
    const QRect canvas = child(*m_control, "picView")->geometry();
    OpenFileDialog::Request asked;
    QString answer; // empty: cancelled
    dialog()->setChooser([&](const OpenFileDialog::Request &request) {
        asked = request;
        return answer;
    });
    QSignalSpy zoomChanged(m_control.get(), &ZoomwellCtl::ZoomChanged);

    m_control->LoadImage();

    QCOMPARE(asked.title, QStringLiteral("Open Image"));
    QCOMPARE(asked.filter, QStringLiteral("Supported Image Formats|*.gif;*.jpg;*.bmp"));
    QVERIFY2(QFileInfo::exists(asked.initialFolder + QStringLiteral("/libLensbox.so")),
             qPrintable(asked.initialFolder));
    QCOMPARE(zoomChanged.size(), 0);
    QCOMPARE(m_control->Picture()->Handle(), handle);
    QCOMPARE(m_control->Zoom(), 150.0);
    QCOMPARE(child(*m_control, "picView")->geometry(), canvas);

    answer = m_blue;
    m_control->LoadImage();
    QCOMPARE(child(*m_control, "picView")->size(), QSize(100, 100));
    m_control->LoadImage(); // at zoom 100 already: the event comes anyway
    QCOMPARE(zoomChanged.size(), 2);
    QCOMPARE(zoomChanged.last().first().toInt(), 100);
}

void ZoomwellLoadingTest::photosShowUpright_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("upright"); // the same scene stored as it is seen

    QTest::newRow("landscape tag 3") << "Landscape_3.jpg"
                                     << "Landscape_1.jpg";
    QTest::newRow("landscape tag 6") << "Landscape_6.jpg"
                                     << "Landscape_1.jpg";
    QTest::newRow("landscape tag 8") << "Landscape_8.jpg"
                                     << "Landscape_1.jpg";
    QTest::newRow("portrait tag 6") << "Portrait_6.jpg"
                                    << "Portrait_1.jpg";
}

void ZoomwellLoadingTest::photosShowUpright()
{
    QFETCH(QString, file);
    QFETCH(QString, upright);
    if (m_shared.isEmpty())
        QSKIP("the shared test images are not beside this checkout (set TOVIN_TESTDATA)");
    m_control->LoadImage(shared(QStringLiteral("orientation/") + upright));
    const QImage reference = m_control->Picture()->image();

    m_control->LoadImage(shared(QStringLiteral("orientation/") + file));

    const QImage shown = m_control->Picture()->image();
    QCOMPARE(shown.size(), reference.size());
    QCOMPARE(child(*m_control, "picView")->size(), reference.size());
    const int same = difference(shown, reference);
    const int turned = difference(shown, reference.mirrored(true, true));
    QVERIFY2(same * 4 < turned, qPrintable(QStringLiteral("difference %1 upright, %2 turned").arg(same).arg(turned)));
}

void ZoomwellLoadingTest::unreadableFileNeverShowsAStaleCanvas_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("unloadedFirst");

    for (const bool unloaded : {false, true}) {
        const char *before = unloaded ? "after unload" : "over a picture";
        QTest::addRow("empty file, %s", before) << "unusual/empty.jpg" << unloaded;
        QTest::addRow("no frame header, %s", before) << "unusual/missing-sof.jpg" << unloaded;
        QTest::addRow("header claims 65535 x 65535, %s", before) << "unusual/max_size.jpg" << unloaded;
        QTest::addRow("missing file, %s", before) << "unusual/no-such-file.jpg" << unloaded;
    }
}

void ZoomwellLoadingTest::unreadableFileNeverShowsAStaleCanvas()
{
    QFETCH(QString, file);
    QFETCH(bool, unloadedFirst);
    if (m_shared.isEmpty())
        QSKIP("the shared test images are not beside this checkout (set TOVIN_TESTDATA)");
    m_control->LoadImage(m_yellow);
    m_control->setZoom(300);
    if (unloadedFirst)
        m_control->UnloadImage();
    const quint32 handle = m_control->Picture()->Handle();
    QSignalSpy zoomChanged(m_control.get(), &ZoomwellCtl::ZoomChanged);

    m_control->LoadImage(shared(file));

    // The picture held before is shown again at 100, and still zooms; with
    // none held, nothing is shown rather than the 360 x 270 canvas of old.
    QCOMPARE(m_control->Picture()->Handle(), handle);
    QCOMPARE(zoomChanged.size(), 1);
    QCOMPARE(child(*m_control, "picView")->size(), unloadedFirst ? QSize(0, 0) : QSize(120, 90));
    m_control->setZoom(200);
    QCOMPARE(child(*m_control, "picView")->size(), unloadedFirst ? QSize(0, 0) : QSize(240, 180));
    QCOMPARE(m_control->viewGeometry().horizontal().visible, false);
}

void ZoomwellLoadingTest::largePhotoLoads()
{
    // 192 MB decoded, above the 128 MB that Qt allows by default.
    QImage photo(8000, 6000, QImage::Format_RGB32);
    photo.fill(QColor(90, 140, 60));
    const QString path = m_folder.filePath(QStringLiteral("large.jpg"));
    QVERIFY(photo.save(path, "JPG", 30));
    photo = QImage();

    m_control->LoadImage(path);

    QCOMPARE(child(*m_control, "picView")->size(), QSize(8000, 6000));
}

void ZoomwellLoadingTest::pictureIsSharedByReference()
{
    m_control->LoadImage(m_yellow);
    ZoomwellCtl large;
    large.InitProperties();

    large.setPicture(m_control->Picture());

    QCOMPARE(large.Picture().get(), m_control->Picture().get());
    QCOMPARE(child(large, "picView")->size(), QSize(120, 90));
    large.setZoom(200); // no path loaded: the picture stays at its native size
    QCOMPARE(child(large, "picView")->size(), QSize(120, 90));
}

void ZoomwellLoadingTest::paintPictureDrawsOnTheCanvas()
{
    m_control->LoadImage(m_blue);
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);

    m_control->PaintPicture(lensbox::makePicture(red), 5, 5); // native size
    m_control->PaintPicture(lensbox::makePicture(red), 40, 40, 20.0f, 30.0f); // stretched

    const QImage drawn = m_control->Image()->image();
    for (const QPoint inside : {QPoint(5, 5), QPoint(14, 14), QPoint(59, 69)})
        QCOMPARE(drawn.pixelColor(inside), QColor(Qt::red));
    for (const QPoint outside : {QPoint(15, 15), QPoint(60, 70)})
        QCOMPARE(drawn.pixelColor(outside), QColor(Qt::blue));
    m_control->Cls();
    QCOMPARE(m_control->Image()->image().pixelColor(5, 5), QColor(Qt::blue));
}

QTEST_MAIN(ZoomwellLoadingTest)

#include "tst_zoomwellloading.moc"
