#include "previewcontroller.h"

#include "adjustmentfields.h"
#include "busypointer.h"
#include "errorreport.h"
#include "imageengine.h"
#include "imageinfo.h"
#include "mainwindowform.h"
#include "previewbusyoverlay.h"
#include "previewzoom.h"
#include "reducedpicture.h"
#include "userprompts.h"

#include <lensbox/pictureloader.h>
#include <lensbox/zoomwellctl.h>

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLabel>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

namespace tovin {
namespace {

// A photo above this many pixels takes long enough to decode whole that it
// is first shown from a reduced decode.
constexpr qint64 kQuickFirstPictureAbove = 4'000'000;

} // namespace

PreviewController::PreviewController(const MainWindowForm &form, const AdjustmentFields &fields, UserPrompts &prompts,
                                     QString previewFile, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_fields(fields)
    , m_prompts(prompts)
    , m_runner(std::move(previewFile))
    , m_busy(new PreviewBusyOverlay(form.Zoomwell))
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

void PreviewController::ShowPreview(bool showUnadjusted, const QString &path)
{
    lensbox::ZoomwellCtl *viewer = m_form.Zoomwell;
    viewer->UnloadImage();
    // Whatever preview is still being made is no longer wanted.
    m_runner.cancel();
    m_busy->stop();

    const quint64 request = ++m_request;

    if (showUnadjusted) {
        const QSize stored = storedPictureSize(path);
        if (qint64(stored.width()) * stored.height() <= kQuickFirstPictureAbove) {
            m_busy->start();
            decodeForRequest(request, path,
                             [this, path](const lensbox::PictureRef &upright) { showImageFitted(path, upright); });
            return;
        }
        const double fitZoom = ComputeFitZoom(pictureExtentHimetric(stored, dotsPerInch()),
                                              windowExtentTwips(viewer->size(), dotsPerInch()));
        m_busy->start();
        auto *reduced = new QFutureWatcher<QImage>(this);
        connect(reduced, &QFutureWatcher<QImage>::finished, this, [this, reduced, request, path] {
            reduced->deleteLater();
            if (request != m_request)
                return;
            m_busy->stop();
            m_form.Zoomwell->setPicture(lensbox::makePicture(reduced->result()));
            m_form.Zoomwell->repaint();
            emit firstPictureShown();
            decodeForRequest(request, path,
                             [this, path](const lensbox::PictureRef &upright) { showImageFitted(path, upright); });
        });
        reduced->setFuture(QtConcurrent::run(decodeReducedPicture, path, fitZoom));
        return;
    }

    try {
        const AdjustmentSelections &codes = m_fields.selections();
        m_runner.start(path, previewScaleSettings(m_fields.values(), codes.SelectedFilter, codes.SaveQuality));
        m_busy->start();
    } catch (const RuntimeError &error) {
        showErrorReport(m_prompts, error);
        removePreviewFile();
        ShowImageInfo(m_runner.previewFile());
        emit previewShown();
    }
}

void PreviewController::removePreviewFile()
{
    if (FileExists(m_runner.previewFile()))
        QFile::remove(m_runner.previewFile());
}

void PreviewController::decodeForRequest(quint64 request, const QString &path,
                                         std::function<void(const lensbox::PictureRef &)> show)
{
    auto *decoded = new QFutureWatcher<lensbox::PictureRef>(this);
    connect(decoded, &QFutureWatcher<lensbox::PictureRef>::finished, this,
            [this, decoded, request, show = std::move(show)] {
                decoded->deleteLater();
                if (request != m_request)
                    return;
                m_busy->stop();
                show(decoded->result());
            });
    decoded->setFuture(QtConcurrent::run(lensbox::loadPicture, path));
}

void PreviewController::showImageFitted(const QString &path, const lensbox::PictureRef &upright)
{
    lensbox::ZoomwellCtl *viewer = m_form.Zoomwell;
    {
        const BusyPointer busy(viewer->window());
        viewer->hide();
        viewer->LoadDecodedImage(path, upright);
        const lensbox::PictureRef picture = viewer->Picture();
        const QSize pictureSize = lensbox::holdsPicture(picture) ? picture->size() : QSize();
        viewer->setZoom(ComputeFitZoom(pictureExtentHimetric(pictureSize, dotsPerInch()),
                                       windowExtentTwips(viewer->size(), dotsPerInch())));
        viewer->show();
    }
    removePreviewFile();
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
        decodeForRequest(m_request, m_runner.previewFile(), [this](const lensbox::PictureRef &upright) {
            const BusyPointer busy(m_form.Zoomwell->window());
            m_form.Zoomwell->LoadDecodedImage(m_runner.previewFile(), upright);
            ShowImageInfo(m_runner.previewFile());
            emit previewShown();
        });
        return;
    }
    m_busy->stop();
    // An earlier preview left on disk would be described below as if it were
    // this one.
    removePreviewFile();
    ShowImageInfo(m_runner.previewFile());
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
