#include "largepreviewopener.h"

#include "largepreviewwindow.h"
#include "previewzoom.h"

#include <lensbox/zoomwellctl.h>

#include <QLabel>
#include <QScreen>

namespace tovin {

LargePreviewOpener::LargePreviewOpener(lensbox::ZoomwellCtl *mainViewer, QLabel *infoLabel, QObject *parent)
    : QObject(parent)
    , m_mainViewer(mainViewer)
    , m_infoLabel(infoLabel)
{
}

void LargePreviewOpener::open()
{
    const lensbox::PictureRef picture = m_mainViewer->Picture();
    if (!lensbox::holdsPicture(picture))
        return;
    if (!m_window) {
        const QScreen *screen = m_mainViewer->screen();
        const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
        m_window = new LargePreviewWindow(m_infoLabel->text(), pictureExtentHimetric(picture->size(), dpi),
                                          m_mainViewer->window());
    }
    m_window->Zoomwell2()->UnloadImage();
    m_window->Zoomwell2()->setPicture(picture);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace tovin
