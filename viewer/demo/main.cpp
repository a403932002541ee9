// Shows one photo in a ZoomwellCtl with panning and the quick toolbar on; the
// toolbar's zoom buttons step the zoom by 10, and Maximize maximizes the
// window or gives it its size back.
//
//   lensbox-demo PHOTO [--zoom PERCENT] [--picture] [--screenshot FILE]
//
// With --picture the photo is given through the Picture property, as a second
// viewer that shares the first one's picture gets it, instead of LoadImage.
//
// With --screenshot the window is saved to FILE once the toolbar has had time
// to appear under the cursor, and the program ends.

#include <lensbox/controlfactory.h>
#include <lensbox/hostvalues.h>
#include <lensbox/pictureobject.h>
#include <lensbox/propertybag.h>
#include <lensbox/zoomwellctl.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCursor>
#include <QImageReader>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

namespace {

constexpr int kZoomStep = 10;
constexpr int kScreenshotDelayMs = 800; // several toolbar ticks

lensbox::PropertyBag demoProperties()
{
    lensbox::PropertyBag bag;
    for (const char *name : {"allowzoomin", "allowzoomout", "usequickbar", "panactive"})
        bag.write(QString::fromLatin1(name), QVariant::fromValue(lensbox::kTrue), QVariant::fromValue(lensbox::kFalse));
    return bag;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("photo"), QStringLiteral("The picture file to show."));
    const QCommandLineOption zoomOption(QStringLiteral("zoom"), QStringLiteral("Zoom in percent after loading."),
                                        QStringLiteral("percent"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"), QStringLiteral("Save the window to this file and quit."), QStringLiteral("file"));
    const QCommandLineOption pictureOption(QStringLiteral("picture"),
                                           QStringLiteral("Give the photo through the Picture property."));
    parser.addOptions({zoomOption, pictureOption, screenshotOption});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(1);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Lensbox demo"));
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);

    const lensbox::PropertyBag saved = demoProperties();
    const lensbox::ControlCreation created =
        lensbox::createControl(QString::fromLatin1(lensbox::kZoomwellIdentifier), &window, &saved);
    if (!created.control) {
        std::fprintf(stderr, "%s\n", qPrintable(created.error));
        return 1;
    }
    lensbox::ZoomwellCtl *viewer = created.control;
    viewer->setObjectName(QStringLiteral("Zoomwell"));
    layout->addWidget(viewer);

    QObject::connect(viewer, &lensbox::ZoomwellCtl::ZoomInClick, viewer,
                     [viewer] { viewer->setZoom(viewer->Zoom() + kZoomStep); });
    QObject::connect(viewer, &lensbox::ZoomwellCtl::ZoomOutClick, viewer, [viewer] {
        if (viewer->Zoom() > kZoomStep)
            viewer->setZoom(viewer->Zoom() - kZoomStep);
    });
    QObject::connect(viewer, &lensbox::ZoomwellCtl::MaxClick, &window,
                     [&window] { window.setWindowState(window.windowState() ^ Qt::WindowMaximized); });
    QObject::connect(viewer, &lensbox::ZoomwellCtl::ZoomChanged, &window, [&window](qint32 percent) {
        window.setWindowTitle(QStringLiteral("Lensbox demo - %1%").arg(percent));
    });

    window.resize(800, 600);
    window.show();
    const QString photo = parser.positionalArguments().constFirst();
    if (parser.isSet(pictureOption)) {
        QImageReader reader(photo);
        reader.setAutoTransform(true);
        viewer->setPicture(lensbox::makePicture(reader.read()));
    } else {
        viewer->LoadImage(photo);
    }
    if (parser.isSet(zoomOption))
        viewer->setZoom(parser.value(zoomOption).toDouble());

    if (parser.isSet(screenshotOption)) {
        const QString file = parser.value(screenshotOption);
        QCursor::setPos(viewer->mapToGlobal(QPoint(60, 190)));
        QTimer::singleShot(kScreenshotDelayMs, &window, [&window, file] {
            const bool saved = window.grab().save(file);
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
