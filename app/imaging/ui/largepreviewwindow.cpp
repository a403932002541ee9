#include "largepreviewwindow.h"

#include "largepreviewsizing.h"
#include "messagetable.h"
#include "units.h"

#include <lensbox/controlfactory.h>
#include <lensbox/zoomwellctl.h>

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>

#include <stdexcept>

namespace tovin {
namespace {

double dotsPerInchOf(const QWidget *widget)
{
    const QScreen *screen = widget->screen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

} // namespace

LargePreviewWindow::LargePreviewWindow(const QString &infoText, std::int32_t pictureExtentHimetric, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_info(new QLabel(infoText, this))
{
    setObjectName(QStringLiteral("frmLarge"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(message(114));
    m_info->setObjectName(QStringLiteral("infoLabel2"));
    m_info->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const lensbox::ControlCreation viewer =
        lensbox::createControl(QString::fromLatin1(lensbox::kZoomwellIdentifier), this);
    if (!viewer.control)
        throw std::runtime_error(viewer.error.toStdString());
    m_viewer = viewer.control;
    m_viewer->setObjectName(QStringLiteral("Zoomwell2"));
    // Panning only: this window answers no zoom or Maximize events.
    m_viewer->setPanActive(lensbox::kTrue);

    const QScreen *screen = this->screen();
    const QSize screenPixels = screen ? screen->geometry().size() : QSize(1024, 768);
    const double dpi = dotsPerInchOf(this);
    const double share = largePreviewScreenShare(pictureExtentHimetric, pixelsToTwips(screenPixels.width(), dpi),
                                                 pixelsToTwips(screenPixels.height(), dpi));
    m_outerSize = largePreviewWindowSize(screenPixels, share);
    resize(m_outerSize);
}

void LargePreviewWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The size rule is for the outer size; the frame is known once shown.
    if (!m_sized) {
        m_sized = true;
        const QSize frame = frameGeometry().size() - size();
        if (!frame.isEmpty())
            resize(m_outerSize - frame);
        placeViewer();
    }
}

void LargePreviewWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeViewer();
}

void LargePreviewWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        placeViewer();
}

void LargePreviewWindow::placeViewer()
{
    const double dpi = dotsPerInchOf(this);
    // A maximized or minimized window is about to change size: keep where the
    // user had scrolled to.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
        m_viewer->StorePosition();
    const QRect viewer = largePreviewViewerRect(size(), dpi);
    m_info->setGeometry(viewer.left(), twipsToPixels(60, dpi), viewer.width(), viewer.top() - twipsToPixels(60, dpi));
    // A window shrunk to nothing gives the viewer no room; it keeps its size.
    if (viewer.width() > 0 && viewer.height() > 0)
        m_viewer->setGeometry(viewer);
    m_viewer->RecallPosition();
}

void LargePreviewWindow::closeEvent(QCloseEvent *event)
{
    m_viewer->UnloadImage();
    QWidget::closeEvent(event);
}

} // namespace tovin
