#pragma once

#include "lensbox/hostvalues.h"
#include "lensbox/lensbox_export.h"
#include "lensbox/pictureobject.h"
#include "lensbox/scrollcolorfix.h"
#include "lensbox/viewgeometry.h"

#include <QFrame>
#include <QString>

#include <optional>

class QScrollBar;
class QTimer;
class QToolBar;

namespace lensbox {

class OpenFileDialog;
class PictureBox;
class PropertyBag;

// A scrollable and zoomable picture box. The host drives it through the
// properties, methods and signals below and decides itself what a zoom step
// or "maximize" means; the control only shows one picture at `Zoom` percent,
// lets the user pan a picture larger than the frame, and offers a small
// floating toolbar whose buttons raise events.
//
// Booleans are 16-bit (True = -1). Key and mouse signals pass their values by
// reference, so connect them directly: what a slot writes into them is what
// the control then goes on with.
//
// A setter that can refuse a value returns false and keeps the value it had.
// Every accepted set of a persisted property raises propertyChanged, so that
// the host knows to save it with its window.
//
// The mouse wheel scrolls the picture (across with Shift); with Ctrl held it
// raises ZoomInClick and ZoomOutClick like the toolbar's buttons, while
// AllowZoomIn and AllowZoomOut are on.
//
// While UseQuickBar is on, keys press the toolbar's buttons wherever the
// focus is in the control, as long as the button is enabled: + Zoom In,
// - Zoom Out, Enter or F Maximize (the tool tips name them). The canvas
// still reports them to the host first.
//
// The toolbar sits inside the control whatever its size (see
// ViewGeometry::quickToolbar).
//
// The control draws a thin sunken border; the frame `picMain` fills what is
// inside it. A host that constructs the control itself calls initProperties
// (new instance) or readProperties (saved instance) next, as createControl
// does.
class LENSBOX_EXPORT ZoomwellCtl : public QFrame
{
    Q_OBJECT
    Q_CLASSINFO("Description", "Scrollable and Zoomable PictureBox Replacement")

    Q_PROPERTY(short AllowZoomOut READ AllowZoomOut WRITE setAllowZoomOut)
    Q_PROPERTY(short AllowZoomIn READ AllowZoomIn WRITE setAllowZoomIn)
    Q_PROPERTY(short AutoRedraw READ AutoRedraw WRITE setAutoRedraw)
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(short Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(short HasDC READ HasDC)
    Q_PROPERTY(qint32 hDC READ hDC)
    Q_PROPERTY(qint32 hwnd READ hwnd)
    Q_PROPERTY(lensbox::PictureRef Image READ Image)
    Q_PROPERTY(short MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(short PanActive READ PanActive WRITE setPanActive)
    Q_PROPERTY(lensbox::PictureRef Picture READ Picture WRITE setPicture)
    Q_PROPERTY(short UseQuickBar READ UseQuickBar WRITE setUseQuickBar)
    Q_PROPERTY(double Zoom READ Zoom WRITE setZoom)

public:
    explicit ZoomwellCtl(QWidget *parent = nullptr);
    ~ZoomwellCtl() override;

    short AllowZoomOut() const { return m_AllowZoomOut; }
    void setAllowZoomOut(short value);
    short AllowZoomIn() const { return m_AllowZoomIn; }
    void setAllowZoomIn(short value);
    short AutoRedraw() const;
    void setAutoRedraw(short value);
    OleColor BackColor() const;
    // Recolours the buffer, the frame, the corner box and the canvas.
    void setBackColor(OleColor value);
    short Enabled() const;
    // Takes a 16-bit Boolean; it hides QWidget::setEnabled(bool) on purpose,
    // and any non-zero value enables the control.
    void setEnabled(short value);
    // Qt draws through painters, not device contexts: the canvas has none.
    short HasDC() const { return kFalse; }
    qint32 hDC() const { return 0; }
    // The native window the canvas is drawn into.
    qint32 hwnd() const;
    // What has been drawn on the canvas, as one picture of the canvas's size.
    PictureRef Image() const;
    short MousePointer() const { return m_MousePointer; }
    // Refuses a number that names no pointer shape.
    bool setMousePointer(short value);
    short PanActive() const { return m_PanActive; }
    void setPanActive(short value);
    // The source picture itself, not a copy: a host may give it to another
    // control. Never null; an empty picture has handle 0.
    PictureRef Picture() const;
    void setPicture(PictureRef value);
    short UseQuickBar() const { return m_UseQuickBar; }
    void setUseQuickBar(short value);
    double Zoom() const { return m_Zoom; }
    // Refuses a zoom that ZoomChanged cannot carry as a whole 32-bit percent:
    // not a number, infinite or beyond 32 bits.
    bool setZoom(double value);

    void Cls();
    // Without a path, asks for a file with the open-file dialog.
    void LoadImage(const QString &FilePath = QString());
    // LoadImage for a picture the host decoded itself, away from the window's
    // thread, with loadPicture or a decoder of its own (made into a picture
    // with makePicture there): the same events and the same state afterwards,
    // without the decode. An empty picture is a file that could not be read.
    // Without a path, does nothing.
    void LoadDecodedImage(const QString &FilePath, const PictureRef &Upright);
    void PaintPicture(const PictureRef &Picture, float X1, float Y1, std::optional<float> Width1 = {},
                      std::optional<float> Height1 = {}, std::optional<float> X2 = {}, std::optional<float> Y2 = {},
                      std::optional<float> Width2 = {}, std::optional<float> Height2 = {},
                      std::optional<qint32> Opcode = {});
    void RecallPosition();
    void StorePosition();
    void UnloadImage();

    // Life cycle with the host's property bag.
    void initProperties();
    void readProperties(const PropertyBag &bag);
    void writeProperties(PropertyBag &bag) const;

    // Where the canvas, bars and corner box are, as the control reports them
    // (bar ranges from 0 down to a negative maximum).
    const ViewGeometry &viewGeometry() const { return m_geometry; }

signals:
    void Click();
    void DblClick();
    void KeyDown(short &KeyCode, short &Shift);
    void KeyPress(short &KeyAscii);
    void KeyUp(short &KeyCode, short &Shift);
    void MouseDown(short &Button, short &Shift, float &X, float &Y);
    void MouseMove(short &Button, short &Shift, float &X, float &Y);
    void MouseUp(short &Button, short &Shift, float &X, float &Y);
    void Paint();
    void Resize();
    void Scroll();
    void ZoomChanged(qint32 ZoomPercent);
    void ZoomInClick();
    void ZoomOutClick();
    void MaxClick();

    // A persisted property was set (not while the saved ones are read).
    void propertyChanged(const QString &name);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildQuickToolbar();
    void startRunning(QWidget *scrollFixWindow);
    void refreshMetrics();
    void applyGeometry();
    void ApplyZoom();
    void ShowLoadedPicture();
    void showBufferPicture();
    void canvasMousePress(QMouseEvent *event);
    void canvasMouseMove(QMouseEvent *event);
    void canvasMouseRelease(QMouseEvent *event);
    void canvasKey(QKeyEvent *event);
    bool horizontalBarKey(QKeyEvent *event);
    QPoint cursorInFrame(QPointF globalPosition) const;
    void setCanvasCursor(int number);
    void toolbarTick();
    bool showsQuickToolbarOver(const QWidget *widget) const;
    void toolbarButtonClicked(int index);
    void markChanged(const QString &name);
    void wheelZoom(int angle);

    PictureBox *picMain;
    PictureBox *picView;
    PictureBox *picBuffer;
    PictureBox *picTemp;
    QScrollBar *hscPicture;
    QScrollBar *vscPicture;
    QToolBar *tbrQuickFloat;
    QTimer *timToolbar;
    OpenFileDialog *CDlgPicture;
    ScrollColorFix m_scrollFix;
    ViewGeometry m_geometry;

    double m_Zoom = 0.0;
    QString m_ImagePath;
    qint32 m_PictureWidth = 0;
    qint32 m_PictureHeight = 0;
    short m_AllowZoomOut = kFalse;
    short m_AllowZoomIn = kFalse;
    short m_UseQuickBar = kFalse;
    short m_PanActive = kFalse;
    short m_MousePointer = 0;
    ScrollPosition m_Stored;
    bool m_Panning = false;
    bool m_clickStarted = false; // a left press on the canvas that a release turns into Click
    qint32 m_PanLastX = 0;
    qint32 m_PanLastY = 0;
    bool m_readingProperties = false;
    int m_wheelZoomAngle = 0; // Ctrl+wheel turned since the last zoom event, in eighths of a degree
};

} // namespace lensbox
