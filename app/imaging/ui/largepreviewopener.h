#pragma once

#include <QObject>
#include <QPointer>

#include "largepreviewwindow.h"

class QLabel;

namespace lensbox {
class ZoomwellCtl;
}

namespace tovin {

// Opens the one large preview window on the main viewer's picture: made on
// first use, given the same picture object on every later use and brought
// forward with its size and information line kept. With no picture in the
// main viewer nothing happens.
class LargePreviewOpener : public QObject
{
    Q_OBJECT

public:
    LargePreviewOpener(lensbox::ZoomwellCtl *mainViewer, QLabel *infoLabel, QObject *parent = nullptr);

    void open();
    LargePreviewWindow *window() const { return m_window; }

private:
    lensbox::ZoomwellCtl *m_mainViewer;
    QLabel *m_infoLabel;
    QPointer<LargePreviewWindow> m_window;
};

} // namespace tovin
