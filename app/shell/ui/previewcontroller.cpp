#include "previewcontroller.h"

#include "adjustmentfields.h"
#include "busypointer.h"
#include "errorreport.h"
#include "imageengine.h"
#include "imageinfo.h"
#include "mainwindowform.h"
#include "previewbusyoverlay.h"
#include "previewzoom.h"
#include "shownpicture.h"
#include "userprompts.h"

#include <lensbox/pictureobject.h>
#include <lensbox/zoomwellctl.h>

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLabel>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

namespace tovin {

// A decoded picture made ready for the viewer, or why there is none.
struct ViewerPicture {
    lensbox::PictureRef picture;
    ScaleSkip failure = ScaleSkip::None;
};

namespace {

// A photo above this many pixels takes long enough to decode whole that it
// is first shown from a reduced decode.
constexpr qint64 kQuickFirstPictureAbove = 4'000'000;

// All the slow work of showing a file, done where the decode runs: the
// picture and its reduced copies.
ViewerPicture decodeForViewer(const QString &path, double zoomPercent)
{
    ShownPicture shown = decodePictureToShow(path, zoomPercent);
    if (shown.image.isNull())
        return {nullptr, shown.failure};
    return {lensbox::makePicture(std::move(shown.image)), ScaleSkip::None};
}

// Lies over the viewer and says why there is no picture in it; the mouse
// goes through to the viewer.
QLabel *makeNote(lensbox::ZoomwellCtl *viewer)
{
    auto *note = new QLabel(viewer->parentWidget());
    note->setObjectName(QStringLiteral("previewNote"));
    note->setAlignment(Qt::AlignCenter);
    note->setWordWrap(true);
    note->setAttribute(Qt::WA_TransparentForMouseEvents);
    note->setGeometry(viewer->geometry().adjusted(8, 8, -8, -8));
    note->hide();
    return note;
}

} // namespace

PreviewController::PreviewController(const MainWindowForm &form, const AdjustmentFields &fields, UserPrompts &prompts,
                                     QString previewFile, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_fields(fields)
    , m_prompts(prompts)
    , m_runner(std::move(previewFile))
    , m_busy(new PreviewBusyOverlay(form.Zoomwell))
    , m_note(makeNote(form.Zoomwell))
{
    connect(&m_runner, &AdjustedPreviewRunner::finished, this, &PreviewController::adjustedPreviewDone);
    lensbox::ZoomwellCtl *viewer = form.Zoomwell;
    // The viewer as this window uses it: its quick toolbar with both zoom
    // buttons and Maximize, and panning with the mouse.
    viewer->setUseQuickBar(lensbox::kTrue);
    viewer->setAllowZoomIn(lensbox::kTrue);
    viewer->setAllowZoomOut(lensbox::kTrue);
    viewer->setPanActive(lensbox::kTrue);
    connect(viewer, &lensbox::ZoomwellCtl::ZoomInClick, this, [viewer] {
        if (const std::optional<double> zoom = ZoomInStep(viewer->Zoom()))
            viewer->setZoom(*zoom);
    });
    connect(viewer, &lensbox::ZoomwellCtl::ZoomOutClick, this, [viewer] {
        if (const std::optional<double> zoom = ZoomOutStep(viewer->Zoom()))
            viewer->setZoom(*zoom);
    });
}

double PreviewController::dotsPerInch() const
{
    const QScreen *screen = m_form.Zoomwell->screen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

quint64 PreviewController::beginRequest()
{
    m_form.Zoomwell->UnloadImage();
    // Whatever preview is still being made is no longer wanted, and the line
    // described what was shown.
    m_runner.cancel();
    m_busy->stop();
    m_note->hide();
    m_form.infoLabel->clear();
    return ++m_request;
}

void PreviewController::clear()
{
    beginRequest();
    m_path.clear();
}

void PreviewController::ShowPreview(bool showUnadjusted, const QString &path)
{
    const quint64 request = beginRequest();
    m_path = path;

    if (showUnadjusted) {
        m_busy->start();
        const auto fitted = [this, path](const ViewerPicture &decoded) { showImageFitted(path, decoded); };
        const QSize stored = imageFileSize(path);
        const qint64 pixels = qint64(stored.width()) * stored.height();
        if (pixels <= kQuickFirstPictureAbove) {
            decodeForRequest(request, path, 100, fitted);
            return;
        }
        const double fitZoom = ComputeFitZoom(pictureExtentHimetric(stored, dotsPerInch()),
                                              windowExtentTwips(m_form.Zoomwell->size(), dotsPerInch()));
        decodeForRequest(request, path, fitZoom, [this, request, path, fitted](const ViewerPicture &reduced) {
            // The whole picture would fail the same way.
            if (!reduced.picture) {
                fitted(reduced);
                return;
            }
            m_form.Zoomwell->setPicture(reduced.picture);
            m_form.Zoomwell->repaint();
            emit firstPictureShown();
            decodeForRequest(request, path, 100, fitted);
        });
        return;
    }

    try {
        const AdjustmentSelections &codes = m_fields.selections();
        m_runner.start(path, previewScaleSettings(m_fields.values(), codes.SelectedFilter, codes.SaveQuality));
        m_busy->start();
    } catch (const RuntimeError &error) {
        showErrorReport(m_prompts, error);
        removePreviewFile();
        emit previewShown();
    }
}

void PreviewController::removePreviewFile()
{
    if (FileExists(m_runner.previewFile()))
        QFile::remove(m_runner.previewFile());
}

void PreviewController::decodeForRequest(quint64 request, const QString &path, double zoomPercent,
                                         std::function<void(const ViewerPicture &)> show)
{
    auto *decoded = new QFutureWatcher<ViewerPicture>(this);
    connect(decoded, &QFutureWatcher<ViewerPicture>::finished, this, [this, decoded, request, show = std::move(show)] {
        decoded->deleteLater();
        if (request != m_request)
            return;
        m_busy->stop();
        show(decoded->result());
    });
    decoded->setFuture(QtConcurrent::run(decodeForViewer, path, zoomPercent));
}

void PreviewController::showNotShown(ScaleSkip reason)
{
    m_form.Zoomwell->UnloadImage();
    m_form.infoLabel->clear();
    m_note->setText(QFileInfo(m_path).fileName() + QStringLiteral(": ") + scaleSkipText(reason));
    m_note->show();
    m_note->raise();
}

void PreviewController::showImageFitted(const QString &path, const ViewerPicture &decoded)
{
    removePreviewFile();
    if (!decoded.picture) {
        showNotShown(decoded.failure);
        emit previewShown();
        return;
    }
    lensbox::ZoomwellCtl *viewer = m_form.Zoomwell;
    {
        const BusyPointer busy(viewer->window());
        viewer->hide();
        viewer->LoadDecodedImage(path, decoded.picture);
        viewer->setZoom(ComputeFitZoom(pictureExtentHimetric(decoded.picture->size(), dotsPerInch()),
                                       windowExtentTwips(viewer->size(), dotsPerInch())));
        viewer->show();
    }
    ShowImageInfo(path);
    emit previewShown();
}

void PreviewController::adjustedPreviewDone(const AdjustedPreviewOutcome &outcome)
{
    if (outcome.error)
        showErrorReport(m_prompts, *outcome.error);
    if (outcome.written) {
        // Only the newest request writes the preview file, and a newer one
        // drops this picture, so the file read here is the one just made.
        decodeForRequest(m_request, m_runner.previewFile(), 100, [this](const ViewerPicture &decoded) {
            if (decoded.picture) {
                const BusyPointer busy(m_form.Zoomwell->window());
                m_form.Zoomwell->LoadDecodedImage(m_runner.previewFile(), decoded.picture);
                ShowImageInfo(m_runner.previewFile());
            } else {
                showNotShown(decoded.failure);
            }
            emit previewShown();
        });
        return;
    }
    m_busy->stop();
    // An earlier preview left on disk would be described as if it were this
    // one.
    removePreviewFile();
    if (outcome.skip != ScaleSkip::None)
        showNotShown(outcome.skip);
    emit previewShown();
}

void PreviewController::ShowImageInfo(const QString &path)
{
    // A file that is not there (a failed preview) leaves nothing to describe.
    if (!QFileInfo(path).isFile()) {
        m_form.infoLabel->clear();
        return;
    }
    try {
        m_form.infoLabel->setText(imageInfoText(path));
    } catch (const RuntimeError &error) {
        m_form.infoLabel->clear();
        showErrorReport(m_prompts, error);
    }
}

} // namespace tovin
