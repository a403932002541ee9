#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;

namespace lensbox {
class ZoomwellCtl;
}

namespace tovin {

// The large preview window "frmLarge": a copy of the main window's
// information line as it was when the window was made, and a second viewer
// below it. It is sized once, when made: the whole screen for a picture at
// least half the screen's extent, else half of each side. The viewer keeps
// its scroll position through a resize.
class LargePreviewWindow : public QWidget
{
    Q_OBJECT

public:
    LargePreviewWindow(const QString &infoText, std::int32_t pictureExtentHimetric, QWidget *parent = nullptr);

    lensbox::ZoomwellCtl *Zoomwell2() const { return m_viewer; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void placeViewer();

    QLabel *m_info;
    lensbox::ZoomwellCtl *m_viewer;
    QSize m_outerSize;
    bool m_sized = false;
};

} // namespace tovin
