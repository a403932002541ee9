#include "lensbox/zoomwellctl.h"

#include "hostinput.h"
#include "lensbox/openfiledialog.h"
#include "lensbox/pictureloader.h"
#include "libraryfolder.h"
#include "mousepointer.h"
#include "pancursors.h"
#include "picturebox.h"
#include "propertynames.h"
#include "quickbarkeys.h"
#include "quicktoolimages.h"

#include <tovin/numeric.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

namespace lensbox {

namespace {

const QString kPictureFilter = QStringLiteral("Supported Image Formats|*.gif;*.jpg;*.bmp");
const QString kOpenImageTitle = QStringLiteral("Open Image");

constexpr int kToolbarInterval = 100; // ms
constexpr QSize kQuickToolbarSize(76, 24);
constexpr QSize kQuickButtonSize(24, 22);
constexpr int kWheelNotch = 120; // eighths of a degree

// QScrollBar needs its minimum below its maximum, while the control's range
// runs from 0 down to a negative maximum. The bar therefore shows the range
// and value negated: its thumb still moves right as the control's value falls.
void showScrollBar(QScrollBar *bar, const ScrollBarState &state)
{
    const QSignalBlocker quiet(bar);
    bar->setRange(-state.minimum, -state.maximum);
    bar->setValue(-state.value);
    bar->setGeometry(state.rect);
    bar->setVisible(state.visible);
}

QScrollBar *makeScrollBar(Qt::Orientation orientation, const QString &name, QWidget *frame)
{
    auto *bar = new QScrollBar(orientation, frame);
    bar->setObjectName(name);
    bar->setSingleStep(ViewGeometry::kSmallChange);
    bar->setPageStep(ViewGeometry::kLargeChange);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->hide();
    return bar;
}

} // namespace

ZoomwellCtl::ZoomwellCtl(QWidget *parent)
    : QFrame(parent)
    , picMain(new PictureBox(QStringLiteral("picMain"), this))
    , picView(new PictureBox(QStringLiteral("picView"), picMain))
    , picBuffer(new PictureBox(QStringLiteral("picBuffer"), this))
    , picTemp(new PictureBox(QStringLiteral("picTemp"), picMain))
    , hscPicture(makeScrollBar(Qt::Horizontal, QStringLiteral("hscPicture"), picMain))
    , vscPicture(makeScrollBar(Qt::Vertical, QStringLiteral("vscPicture"), picMain))
    , tbrQuickFloat(new QToolBar(this))
    , timToolbar(new QTimer(this))
    , CDlgPicture(new OpenFileDialog(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    picMain->setBackColor(kApplicationWorkspace);
    picMain->installEventFilter(this);
    picView->setBackColor(kApplicationWorkspace);
    picView->setFocusPolicy(Qt::StrongFocus);
    picView->setMouseTracking(true);
    picView->installEventFilter(this);
    connect(picView, &PictureBox::paintRequested, this, &ZoomwellCtl::Paint);
    picBuffer->setBackColor(kWindowBackground);
    picBuffer->hide();
    picTemp->hide();

    connect(hscPicture, &QScrollBar::valueChanged, this, [this](int shown) {
        if (m_geometry.setHorizontalValue(-shown))
            picView->move(m_geometry.canvas().topLeft());
    });
    connect(vscPicture, &QScrollBar::valueChanged, this, [this](int shown) {
        if (m_geometry.setVerticalValue(-shown))
            picView->move(m_geometry.canvas().topLeft());
    });
    connect(hscPicture, &QScrollBar::sliderMoved, this, &ZoomwellCtl::Scroll);
    hscPicture->installEventFilter(this);

    buildQuickToolbar();

    timToolbar->setObjectName(QStringLiteral("timToolbar"));
    timToolbar->setInterval(kToolbarInterval);
    connect(timToolbar, &QTimer::timeout, this, &ZoomwellCtl::toolbarTick);

    CDlgPicture->setObjectName(QStringLiteral("CDlgPicture"));

    refreshMetrics();
    picMain->setGeometry(contentsRect());
    m_geometry.resizeControl(size(), picMain->size());
    applyGeometry();
    picTemp->raise();
}

ZoomwellCtl::~ZoomwellCtl()
{
    m_scrollFix.remove();
}

void ZoomwellCtl::buildQuickToolbar()
{
    tbrQuickFloat->setObjectName(QStringLiteral("tbrQuickFloat"));
    tbrQuickFloat->setMovable(false);
    tbrQuickFloat->setFloatable(false);
    tbrQuickFloat->setIconSize(QSize(kQuickToolImageSize, kQuickToolImageSize));
    // The style's toolbar margins would push the third button into an
    // overflow menu in 76 pixels; the toolbar floats over the picture, so it
    // gets a solid background.
    tbrQuickFloat->setStyleSheet(QStringLiteral(
        "QToolBar { background: palette(button); border: 1px solid palette(mid); padding: 0px; spacing: 0px; }"));

    const QList<QPixmap> imlTools = quickToolImages();
    const QStringList texts{QStringLiteral("Zoom In"), QStringLiteral("Zoom Out"), QStringLiteral("Maximize")};
    for (int i = 0; i < texts.size(); ++i) {
        QAction *button = tbrQuickFloat->addAction(QIcon(imlTools[i]), texts[i]);
        button->setToolTip(texts[i] + QStringLiteral(" (") + quickBarKeysText(i) + u')');
        tbrQuickFloat->widgetForAction(button)->setFixedSize(kQuickButtonSize);
        connect(button, &QAction::triggered, this, [this, i] { toolbarButtonClicked(i); });
    }
    tbrQuickFloat->resize(kQuickToolbarSize);
    tbrQuickFloat->hide();
}

void ZoomwellCtl::startRunning(QWidget *scrollFixWindow)
{
    timToolbar->start();
    m_scrollFix.install(scrollFixWindow);
}

void ZoomwellCtl::refreshMetrics()
{
    m_geometry.setMetrics(SystemMetrics::fromStyle(*style()));
}

void ZoomwellCtl::applyGeometry()
{
    picView->setGeometry(m_geometry.canvas());
    showScrollBar(hscPicture, m_geometry.horizontal());
    showScrollBar(vscPicture, m_geometry.vertical());
    picTemp->setGeometry(m_geometry.corner());
    picTemp->setVisible(m_geometry.cornerVisible());
    tbrQuickFloat->setGeometry(m_geometry.quickToolbar(kQuickToolbarSize));
    hscPicture->raise();
    vscPicture->raise();
    picTemp->raise();
}

void ZoomwellCtl::markChanged(const QString &name)
{
    if (!m_readingProperties)
        emit propertyChanged(name);
}

void ZoomwellCtl::setAllowZoomOut(short value)
{
    m_AllowZoomOut = value;
    markChanged(kAllowZoomOutName);
}

void ZoomwellCtl::setAllowZoomIn(short value)
{
    m_AllowZoomIn = value;
    markChanged(kAllowZoomInName);
}

void ZoomwellCtl::setUseQuickBar(short value)
{
    m_UseQuickBar = value;
    markChanged(kUseQuickBarName);
}

short ZoomwellCtl::AutoRedraw() const
{
    return toBoolean(picView->autoRedraw());
}

void ZoomwellCtl::setAutoRedraw(short value)
{
    picView->setAutoRedraw(value != 0);
    markChanged(kAutoRedrawName);
}

OleColor ZoomwellCtl::BackColor() const
{
    return picView->backColor();
}

void ZoomwellCtl::setBackColor(OleColor value)
{
    picBuffer->setBackColor(value);
    picMain->setBackColor(value);
    picTemp->setBackColor(value);
    picView->setBackColor(value);
    markChanged(kBackColorName);
}

short ZoomwellCtl::Enabled() const
{
    return toBoolean(!testAttribute(Qt::WA_ForceDisabled));
}

void ZoomwellCtl::setEnabled(short value)
{
    QWidget::setEnabled(value != 0);
    markChanged(kEnabledName);
}

qint32 ZoomwellCtl::hwnd() const
{
    return static_cast<qint32>(picView->effectiveWinId());
}

PictureRef ZoomwellCtl::Image() const
{
    return picView->image();
}

bool ZoomwellCtl::setMousePointer(short value)
{
    const auto pointer = pointerShapeFor(value);
    if (!pointer)
        return false;
    m_MousePointer = value;
    if (pointer->inherit)
        unsetCursor();
    else
        setCursor(pointer->shape);
    markChanged(kMousePointerName);
    return true;
}

void ZoomwellCtl::setPanActive(short value)
{
    m_PanActive = value;
    markChanged(kPanActiveName);
    setCanvasCursor(value == kTrue ? kPanCursor : 0);
}

PictureRef ZoomwellCtl::Picture() const
{
    const PictureRef &held = picBuffer->picture();
    return held ? held : makePicture({});
}

void ZoomwellCtl::setPicture(PictureRef value)
{
    picBuffer->setPicture(std::move(value));
    showBufferPicture();
}

bool ZoomwellCtl::setZoom(double value)
{
    const double percent = tovin::roundHalfEven(value);
    if (!tovin::fitsInt32(percent))
        return false;
    m_Zoom = value;
    ApplyZoom();
    emit ZoomChanged(static_cast<qint32>(percent));
    return true;
}

void ZoomwellCtl::Cls()
{
    picView->cls();
}

void ZoomwellCtl::LoadImage(const QString &FilePath)
{
    QString path = FilePath;
    if (path.isEmpty()) {
        CDlgPicture->setInitialFolder(libraryFolder());
        CDlgPicture->setFileName(QString());
        CDlgPicture->setFilter(kPictureFilter);
        CDlgPicture->setTitle(kOpenImageTitle);
        CDlgPicture->showOpen();
        path = CDlgPicture->fileName();
        if (path.isEmpty())
            return;
    }
    LoadDecodedImage(path, loadPicture(path));
}

void ZoomwellCtl::LoadDecodedImage(const QString &FilePath, const PictureRef &Upright)
{
    if (FilePath.isEmpty())
        return;
    m_ImagePath = FilePath;
    // Decoded apart from the buffer: a file that could not be read leaves the
    // picture shown so far, never a part of the new one.
    if (holdsPicture(Upright)) {
        const QImage &image = Upright->image();
        const QImage painted = inPaintFormat(image);
        picBuffer->setPicture(painted.constBits() == image.constBits() ? Upright : makePicture(painted));
    }
    showBufferPicture();
}

void ZoomwellCtl::PaintPicture(const PictureRef &Picture, float X1, float Y1, std::optional<float> Width1,
                               std::optional<float> Height1, std::optional<float> X2, std::optional<float> Y2,
                               std::optional<float> Width2, std::optional<float> Height2, std::optional<qint32> Opcode)
{
    picView->paintPicture(Picture, X1, Y1, Width1, Height1, X2, Y2, Width2, Height2, Opcode);
}

void ZoomwellCtl::RecallPosition()
{
    m_geometry.recallPosition(m_Stored);
    applyGeometry();
}

void ZoomwellCtl::StorePosition()
{
    m_Stored = m_geometry.scrollPosition();
}

void ZoomwellCtl::UnloadImage()
{
    m_ImagePath.clear();
    m_PictureWidth = 0;
    m_PictureHeight = 0;
    picBuffer->setPicture(nullptr);
    picView->setPicture(nullptr);
    picView->cls();
    // The toolbar timer enables them again from the host's switches.
    const QList<QAction *> buttons = tbrQuickFloat->actions();
    buttons[0]->setEnabled(false);
    buttons[1]->setEnabled(false);
}

void ZoomwellCtl::ApplyZoom()
{
    const PictureRef &source = picBuffer->picture();
    if (m_ImagePath.isEmpty() || !holdsPicture(source))
        return;
    picView->setUpdatesEnabled(false);
    refreshMetrics();
    m_geometry.zoomCanvas(m_Zoom, m_PictureWidth, m_PictureHeight);
    const QSize canvas = m_geometry.canvas().size();
    picView->resize(canvas);
    picView->paintPicture(source, 0, 0, float(canvas.width()), float(canvas.height()), {}, {}, {}, {}, {});
    m_geometry.updateScrollBars();
    applyGeometry();
    picView->setUpdatesEnabled(true);
}

void ZoomwellCtl::ShowLoadedPicture()
{
    picView->show();
    picView->cls();
    const PictureRef &picture = picBuffer->picture();
    picView->setPicture(picture);
    refreshMetrics();
    // Without a picture the canvas shrinks to nothing rather than keep the
    // size of whatever it showed before.
    m_geometry.showLoadedPicture(holdsPicture(picture) ? picture->size() : QSize(0, 0));
    applyGeometry();
}

void ZoomwellCtl::showBufferPicture()
{
    ShowLoadedPicture();
    m_PictureHeight = m_geometry.canvas().height();
    m_PictureWidth = m_geometry.canvas().width();
    setZoom(100);
}

void ZoomwellCtl::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    picMain->setGeometry(contentsRect());
    refreshMetrics();
    m_geometry.resizeControl(size(), picMain->size());
    applyGeometry();
    picTemp->raise();
    emit Resize();
}

bool ZoomwellCtl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == picView) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            canvasMousePress(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseMove:
            canvasMouseMove(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseButtonRelease:
            canvasMouseRelease(static_cast<QMouseEvent *>(event));
            return true;
        case QEvent::MouseButtonDblClick:
            emit DblClick();
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            canvasKey(static_cast<QKeyEvent *>(event));
            return false; // keys go on to the host's windows
        default:
            break;
        }
    }
    if (watched == picMain && event->type() == QEvent::MouseButtonDblClick) {
        emit DblClick();
        return true;
    }
    // Over the picture or the frame beside it; the scroll bars take their own.
    if ((watched == picView || watched == picMain) && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    if (watched == hscPicture && event->type() == QEvent::KeyPress)
        return horizontalBarKey(static_cast<QKeyEvent *>(event));
    return QFrame::eventFilter(watched, event);
}

QPoint ZoomwellCtl::cursorInFrame(QPointF globalPosition) const
{
    return globalPosition.toPoint() - picMain->mapToGlobal(QPoint(0, 0));
}

void ZoomwellCtl::setCanvasCursor(int number)
{
    if (number == 0) {
        picView->unsetCursor();
        return;
    }
    if (const auto cursor = loadPanCursor(number))
        picView->setCursor(*cursor);
}

void ZoomwellCtl::canvasMousePress(QMouseEvent *event)
{
    short Button = buttonsFor(event->button());
    short Shift = shiftStateFor(event->modifiers());
    float X = float(event->position().x());
    float Y = float(event->position().y());
    m_clickStarted = event->button() == Qt::LeftButton;
    emit MouseDown(Button, Shift, X, Y);

    if (m_PanActive == 0)
        return;
    m_Panning = Button == kLeftButton && (m_geometry.horizontal().visible || m_geometry.vertical().visible);
    if (!m_Panning)
        return;
    const QPoint now = cursorInFrame(event->globalPosition());
    m_PanLastX = now.x();
    m_PanLastY = now.y();
    setCanvasCursor(kDraggingCursor);
}

void ZoomwellCtl::canvasMouseMove(QMouseEvent *event)
{
    short Button = buttonsFor(event->buttons());
    short Shift = shiftStateFor(event->modifiers());
    float X = float(event->position().x());
    float Y = float(event->position().y());
    emit MouseMove(Button, Shift, X, Y);

    if (!m_Panning)
        return;
    const QPoint now = cursorInFrame(event->globalPosition());
    m_geometry.pan(QPoint(m_PanLastX, m_PanLastY), now);
    m_PanLastY = now.y();
    m_PanLastX = now.x();
    applyGeometry();
}

void ZoomwellCtl::canvasMouseRelease(QMouseEvent *event)
{
    short Button = buttonsFor(event->button());
    short Shift = shiftStateFor(event->modifiers());
    float X = float(event->position().x());
    float Y = float(event->position().y());
    const bool click =
        m_clickStarted && event->button() == Qt::LeftButton && picView->rect().contains(event->position().toPoint());
    m_clickStarted = false;
    emit MouseUp(Button, Shift, X, Y);

    m_Panning = false;
    setCanvasCursor(m_PanActive != 0 ? kPanCursor : 0);
    if (click)
        emit Click();
}

void ZoomwellCtl::canvasKey(QKeyEvent *event)
{
    // Tab moves the focus on; the canvas reports no key for it.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return;
    short KeyCode = keyCodeFor(*event);
    short Shift = shiftStateFor(event->modifiers());
    if (event->type() == QEvent::KeyRelease) {
        if (!event->isAutoRepeat())
            emit KeyUp(KeyCode, Shift);
        return;
    }
    emit KeyDown(KeyCode, Shift);
    short KeyAscii = keyAsciiFor(*event);
    if (KeyAscii != 0)
        emit KeyPress(KeyAscii);
}

bool ZoomwellCtl::horizontalBarKey(QKeyEvent *event)
{
    // Qt's horizontal scroll bar moves its thumb against the Left and Right
    // arrows; here the thumb follows the arrow, as it does on the vertical bar.
    if (event->key() == Qt::Key_Left) {
        hscPicture->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return true;
    }
    if (event->key() == Qt::Key_Right) {
        hscPicture->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return true;
    }
    return false;
}

void ZoomwellCtl::keyPressEvent(QKeyEvent *event)
{
    // The quick toolbar's keys come here from the canvas and the bars too,
    // which leave them unused. They press a button the toolbar would offer.
    if (const std::optional<int> button = quickBarButtonForKey(*event); button && m_UseQuickBar != 0) {
        QAction *action = tbrQuickFloat->actions().at(*button);
        if (action->isEnabled()) {
            action->trigger();
            return;
        }
    }
    // Only while the control itself has the focus: keys on the canvas belong
    // to the host. The key only moves the focus; the bar does not scroll yet.
    if (hasFocus()) {
        const int key = event->key();
        if ((key == Qt::Key_Right || key == Qt::Key_Left) && m_geometry.horizontal().value != 0) {
            hscPicture->setFocus(Qt::OtherFocusReason);
            return;
        }
        if ((key == Qt::Key_Up || key == Qt::Key_Down) && m_geometry.vertical().value != 0) {
            vscPicture->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    QFrame::keyPressEvent(event);
}

void ZoomwellCtl::wheelEvent(QWheelEvent *event)
{
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        wheelZoom(event->angleDelta().y());
        return;
    }
    QPoint angle = event->angleDelta();
    if ((event->modifiers() & Qt::ShiftModifier) && angle.x() == 0)
        angle = QPoint(angle.y(), 0);
    // A notch scrolls as many lines as the desktop asks for, each a large
    // change of the bar. Turning the wheel down moves the picture up.
    const int perNotch = QApplication::wheelScrollLines() * ViewGeometry::kLargeChange;
    if (m_geometry.horizontal().visible)
        hscPicture->setValue(hscPicture->value() - angle.x() * perNotch / kWheelNotch);
    if (m_geometry.vertical().visible)
        vscPicture->setValue(vscPicture->value() - angle.y() * perNotch / kWheelNotch);
}

void ZoomwellCtl::wheelZoom(int angle)
{
    // Fine wheels send parts of a notch, which add up to one zoom step; a
    // turn the other way starts again.
    if (angle == 0)
        return;
    if ((angle > 0) != (m_wheelZoomAngle > 0))
        m_wheelZoomAngle = 0;
    m_wheelZoomAngle += angle;
    for (; m_wheelZoomAngle >= kWheelNotch; m_wheelZoomAngle -= kWheelNotch) {
        if (m_AllowZoomIn != 0)
            emit ZoomInClick();
    }
    for (; m_wheelZoomAngle <= -kWheelNotch; m_wheelZoomAngle += kWheelNotch) {
        if (m_AllowZoomOut != 0)
            emit ZoomOutClick();
    }
}

void ZoomwellCtl::toolbarTick()
{
    if (m_UseQuickBar == 0)
        return;
    const QList<QAction *> buttons = tbrQuickFloat->actions();
    buttons[0]->setEnabled(m_AllowZoomIn != 0);
    buttons[1]->setEnabled(m_AllowZoomOut != 0);
    // With no picture the toolbar keeps whatever visibility it had.
    if (!holdsPicture(picBuffer->picture()))
        return;
    tbrQuickFloat->setVisible(showsQuickToolbarOver(QApplication::widgetAt(QCursor::pos())));
}

bool ZoomwellCtl::showsQuickToolbarOver(const QWidget *widget) const
{
    if (!widget)
        return false;
    if (widget == this || widget == picMain || widget == tbrQuickFloat || widget == picTemp || widget == picBuffer
        || widget == picView) {
        return true;
    }
    // A button of a toolbar placed directly on the control.
    const QWidget *parent = widget->parentWidget();
    const auto *toolbar = qobject_cast<const QToolBar *>(parent);
    return toolbar && parent->parentWidget() == this && !toolbar->actions().isEmpty();
}

void ZoomwellCtl::toolbarButtonClicked(int index)
{
    switch (index) {
    case 0:
        emit ZoomInClick();
        break;
    case 1:
        emit ZoomOutClick();
        break;
    default:
        emit MaxClick();
        break;
    }
}

} // namespace lensbox
