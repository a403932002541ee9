#include "viewertestsupport.h"

#include <lensbox/openfiledialog.h>
#include <lensbox/zoomwellctl.h>

#include <QFileInfo>
#include <QPaintEngine>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

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

// Counts the repaints a widget gets.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// An image that draws nothing and counts the pictures painted onto it:
// rendering a widget into it tells how much work one repaint of it does.
class DrawCounter : public QImage
{
public:
    explicit DrawCounter(QSize size)
        : QImage(size, QImage::Format_RGB32)
    {
    }
    int pictures() const { return m_engine.pictures; }
    QPaintEngine *paintEngine() const override { return &m_engine; }

private:
    struct Engine : QPaintEngine {
        int pictures = 0;
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override { }
        // Images reach this too, turned into pixmaps by the base class.
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { ++pictures; }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawPath(const QPainterPath &) override { }
        Type type() const override { return User; }
    };
    mutable Engine m_engine;
};

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
    void pictureSetLaysOutLikeALoad_data();
    void pictureSetLaysOutLikeALoad();
    void zoomingATransparentPictureKeepsOneDrawing();
    void reducedViewAveragesThePixels();
    void quickPictureGivesWayToTheFullOne();

private:
    QPoint values() const
    {
        return {m_control->viewGeometry().horizontal().value, m_control->viewGeometry().vertical().value};
    }

    QString shared(const QString &file) const { return m_shared + QLatin1Char('/') + file; }

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
    m_control->initProperties();
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
    child<OpenFileDialog>(*m_control, "CDlgPicture")->setChooser([&](const OpenFileDialog::Request &request) {
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
    QTest::newRow("landscape tag 3") << "Landscape_3.jpg";
    QTest::newRow("landscape tag 6") << "Landscape_6.jpg";
    QTest::newRow("landscape tag 8") << "Landscape_8.jpg";
}

void ZoomwellLoadingTest::photosShowUpright()
{
    QFETCH(QString, file);
    if (m_shared.isEmpty())
        QSKIP("the shared test images are not beside this checkout (set TOVIN_TESTDATA)");
    m_control->LoadImage(shared(QStringLiteral("orientation/Landscape_1.jpg"))); // stored as it is seen
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

    QTest::newRow("empty file") << "unusual/empty.jpg" << false;
    QTest::newRow("no frame header") << "unusual/missing-sof.jpg" << false;
    QTest::newRow("header claims 65535 x 65535") << "unusual/max_size.jpg" << false;
    QTest::newRow("missing file") << "unusual/no-such-file.jpg" << false;
    QTest::newRow("no frame header after unload") << "unusual/missing-sof.jpg" << true;
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
    large.initProperties();

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

void ZoomwellLoadingTest::pictureSetLaysOutLikeALoad_data()
{
    QTest::addColumn<bool>("beforeShow");

    QTest::newRow("set on a shown control") << false;
    QTest::newRow("set before the window is laid out") << true;
}

void ZoomwellLoadingTest::pictureSetLaysOutLikeALoad()
{
    QFETCH(bool, beforeShow);
    QImage large(1000, 800, QImage::Format_RGB32);
    large.fill(Qt::darkCyan);
    QWidget window; // as a host window holds the control
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *control = new ZoomwellCtl;
    control->initProperties();
    layout->addWidget(control);
    window.resize(400, 300);
    if (!beforeShow) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    control->setPicture(lensbox::makePicture(large));
    if (beforeShow) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QCoreApplication::processEvents();

    const QWidget *corner = child(*control, "picTemp");
    const auto *h = child<QScrollBar>(*control, "hscPicture");
    const auto *v = child<QScrollBar>(*control, "vscPicture");
    QVERIFY(h->isVisible() && v->isVisible() && corner->isVisible());
    QCOMPARE(corner->geometry(), QRect(v->x(), h->y(), v->width(), h->height()));
    QVERIFY(child(*control, "picMain")->rect().contains(corner->geometry()));
    const QImage shown = control->grab().toImage();
    const QPoint between = corner->mapTo(control, corner->rect().center());
    QCOMPARE(shown.pixelColor(between), corner->palette().color(QPalette::Window));
}

void ZoomwellLoadingTest::zoomingATransparentPictureKeepsOneDrawing()
{
    QImage glass(200, 150, QImage::Format_ARGB32);
    glass.fill(QColor(0, 0, 255, 128));
    const QString path = m_folder.filePath(QStringLiteral("glass.png"));
    QVERIFY(glass.save(path));
    m_control->LoadImage(path);

    for (int step = 1; step <= 200; ++step)
        m_control->setZoom(100 + step);

    // One repaint draws the canvas's own picture and the latest zoom, however
    // many zooms came before.
    QWidget *canvas = child(*m_control, "picView");
    DrawCounter counter(canvas->size());
    canvas->render(&counter);
    QVERIFY2(counter.pictures() >= 1 && counter.pictures() <= 2, qPrintable(QString::number(counter.pictures())));
}

void ZoomwellLoadingTest::reducedViewAveragesThePixels()
{
    // One white column in four: reduced to a quarter, every pixel of the view
    // stands for four columns and is a quarter white, where picking single
    // source pixels gives black or white stripes.
    QImage lines(400, 400, QImage::Format_RGB32);
    lines.fill(Qt::black);
    for (int x = 0; x < lines.width(); x += 4) {
        for (int y = 0; y < lines.height(); ++y)
            lines.setPixel(x, y, qRgb(255, 255, 255));
    }
    const QString path = m_folder.filePath(QStringLiteral("lines.png"));
    QVERIFY(lines.save(path));
    m_control->LoadImage(path);

    m_control->setZoom(25);

    const QImage shown = m_control->Image()->image();
    QCOMPARE(shown.size(), QSize(100, 100));
    for (int x = 10; x < 90; ++x) {
        const int grey = qGray(shown.pixel(x, 50));
        QVERIFY2(std::abs(grey - 64) <= 24, qPrintable(QStringLiteral("grey %1 at column %2").arg(grey).arg(x)));
    }
}

void ZoomwellLoadingTest::quickPictureGivesWayToTheFullOne()
{
    // A host shows a reduced decode at once, then swaps in the full picture at
    // the zoom that shows it the same size, keeping the user's place.
    QImage full(1600, 1200, QImage::Format_RGB32);
    full.fill(Qt::darkGreen);
    const QString quick = m_folder.filePath(QStringLiteral("quick.png"));
    QVERIFY(full.scaled(400, 300).save(quick));
    m_control->LoadImage(quick);
    m_control->setZoom(200);
    child<QScrollBar>(*m_control, "hscPicture")->setValue(50);
    child<QScrollBar>(*m_control, "vscPicture")->setValue(30);
    QCoreApplication::processEvents();
    const QPoint place = values();
    QWidget *canvas = child(*m_control, "picView");
    PaintCounter counter(canvas);

    m_control->StorePosition();
    m_control->setPicture(lensbox::makePicture(full));
    m_control->setZoom(50);
    m_control->RecallPosition();

    QCOMPARE(counter.paints, 0); // nothing in between reached the screen
    QCoreApplication::processEvents();
    QCOMPARE(values(), place); // and nothing left for later moved the view
    QCOMPARE(canvas->pos(), place);
    QCOMPARE(canvas->size(), QSize(800, 600));
    QCOMPARE(m_control->Image()->image().pixelColor(400, 300), QColor(Qt::darkGreen));
}

QTEST_MAIN(ZoomwellLoadingTest)

#include "tst_zoomwellloading.moc"
