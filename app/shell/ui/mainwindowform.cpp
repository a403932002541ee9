#include "mainwindowform.h"

#include "adjustmentcodes.h"
#include "buttonpictures.h"
#include "messagetable.h"
#include "units.h"

#include <lensbox/controlfactory.h>
#include <lensbox/zoomwellctl.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>

#include <stdexcept>

namespace tovin {
namespace {

// The client area and every control's place in its parent, in twips.
constexpr int kClientWidth = 10455;
constexpr int kClientHeight = 6015;

struct ControlPlace {
    const char *name;
    int left, top, width, height;
};

constexpr ControlPlace kPlaces[] = {
    {"Frame1", 90, 30, 4500, 810},
    {"dirInput", 120, 300, 3750, 360},
    {"srcButton", 3960, 255, 420, 420},
    {"Frame2", 90, 870, 4500, 5055},
    {"ListView1", 120, 300, 4260, 4635},
    {"Frame3", 4680, 30, 5685, 1230},
    {"Label1", 120, 330, 1080, 330},
    {"widthInput", 1200, 330, 510, 330},
    {"widthTick", 1710, 330, 240, 330},
    {"Label3", 2040, 330, 870, 330},
    {"brightInput", 2910, 330, 570, 330},
    {"brightTick", 3480, 330, 240, 330},
    {"Label5", 3810, 330, 750, 330},
    {"filterCombo", 4560, 330, 1020, 330},
    {"Label2", 120, 780, 1080, 330},
    {"heightInput", 1200, 780, 510, 330},
    {"heightTick", 1710, 780, 240, 330},
    {"Label4", 2040, 780, 870, 330},
    {"contrastInput", 2910, 780, 570, 330},
    {"contrastTick", 3480, 780, 240, 330},
    {"Label6", 3810, 780, 750, 330},
    {"qualityCombo", 4560, 780, 1020, 330},
    {"Frame4", 4680, 1290, 5685, 3480},
    {"Zoomwell", 120, 300, 5445, 2370},
    {"infoLabel", 120, 2730, 5445, 660},
    {"Frame5", 4680, 4800, 5685, 750},
    {"capInput", 120, 270, 5445, 390},
    {"previewButton", 4680, 5580, 390, 390},
    {"recordButton", 5130, 5580, 390, 390},
    {"resetButton", 5580, 5580, 390, 390},
    {"resetAllButton", 6030, 5580, 390, 390},
    {"aboutButton", 6480, 5580, 390, 390},
    {"startButton", 8865, 5580, 1500, 390},
};

// "Name", "Date Created" and "Size", in twips.
constexpr int kColumnWidths[] = {4057, 4057, 1764};

constexpr int kPictureSize = 16;
constexpr int kFolderPictureSize = 22;

template<typename Widget> Widget *makeControl(QWidget *parent, const char *name)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QGroupBox *makeFrame(QWidget *parent, const char *name, int captionNumber)
{
    auto *frame = makeControl<QGroupBox>(parent, name);
    frame->setTitle(message(captionNumber));
    return frame;
}

QLabel *makeLabel(QWidget *parent, const char *name, int captionNumber)
{
    auto *label = makeControl<QLabel>(parent, name);
    label->setText(message(captionNumber));
    return label;
}

QLineEdit *makeInput(QWidget *parent, const char *name, int maxLength)
{
    auto *input = makeControl<QLineEdit>(parent, name);
    input->setMaxLength(maxLength);
    return input;
}

// An up-down spinner beside its text field: only its arrows show; the text
// field beside it holds the number.
QSpinBox *makeTick(QWidget *parent, const char *name, int minimum, int maximum)
{
    auto *tick = makeControl<QSpinBox>(parent, name);
    tick->setRange(minimum, maximum);
    tick->setFocusPolicy(Qt::NoFocus);
    tick->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    tick->setStyleSheet(QStringLiteral("QSpinBox { color: transparent; selection-color: transparent; "
                                       "selection-background-color: transparent; }"));
    return tick;
}

QToolButton *makePictureButton(QWidget *parent, const char *name, ButtonPicture picture, int size, const char *toolTip)
{
    auto *button = makeControl<QToolButton>(parent, name);
    button->setIcon(buttonPicture(picture, size));
    button->setIconSize(QSize(size, size));
    button->setToolTip(QString::fromLatin1(toolTip));
    button->setAutoRaise(false);
    return button;
}

QTreeWidget *makeImageList(QWidget *parent)
{
    auto *list = makeControl<QTreeWidget>(parent, "ListView1");
    list->setColumnCount(3);
    list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Date Created"), QStringLiteral("Size")});
    list->headerItem()->setTextAlignment(DateColumn, Qt::AlignCenter);
    list->headerItem()->setTextAlignment(SizeColumn, Qt::AlignCenter);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setIconSize(QSize(kPictureSize, kPictureSize));
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionsClickable(true);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    return list;
}

void placeControls(QWidget &client, double dotsPerInch)
{
    const auto px = [dotsPerInch](int twips) { return twipsToPixels(twips, dotsPerInch); };
    for (const ControlPlace &place : kPlaces) {
        auto *control = client.findChild<QWidget *>(QString::fromLatin1(place.name));
        if (!control)
            throw std::logic_error(std::string("no control to place: ") + place.name);
        control->setGeometry(px(place.left), px(place.top), px(place.width), px(place.height));
    }
    auto *list = client.findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    for (int column = 0; column < 3; ++column)
        list->setColumnWidth(column, px(kColumnWidths[column]));
    client.setFixedSize(px(kClientWidth), px(kClientHeight));
}

} // namespace

MainWindowForm buildMainWindowForm(QMainWindow &window)
{
    MainWindowForm form;
    window.setObjectName(QStringLiteral("frmMain"));
    window.setWindowTitle(message(116));
    // Minimise only: the client area has one size.
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint);

    form.editMenu = window.menuBar()->addMenu(QStringLiteral("&Edit"));
    form.editMenu->setObjectName(QStringLiteral("editMenu"));
    form.removeAction = form.editMenu->addAction(QStringLiteral("Remove"));
    form.removeAction->setObjectName(QStringLiteral("removeAction"));
    form.removeAction->setShortcut(QKeySequence::Delete);
    form.newFolderAction = form.editMenu->addAction(QStringLiteral("New Folder"));
    form.newFolderAction->setObjectName(QStringLiteral("newFolderAction"));

    QWidget *client = form.client = new QWidget(&window);
    client->setObjectName(QStringLiteral("client"));
    window.setCentralWidget(client);

    form.Frame1 = makeFrame(client, "Frame1", 16);
    form.dirInput = makeControl<QLineEdit>(form.Frame1, "dirInput");
    form.srcButton = makePictureButton(form.Frame1, "srcButton", ButtonPicture::BrowseFolder, kFolderPictureSize,
                                       "Browse For Folder");

    form.Frame2 = makeFrame(client, "Frame2", 17);
    form.ListView1 = makeImageList(form.Frame2);

    QGroupBox *adjustments = form.Frame3 = makeFrame(client, "Frame3", 18);
    form.Label1 = makeLabel(adjustments, "Label1", 21);
    form.Label2 = makeLabel(adjustments, "Label2", 22);
    form.Label3 = makeLabel(adjustments, "Label3", 23);
    form.Label4 = makeLabel(adjustments, "Label4", 24);
    form.Label5 = makeLabel(adjustments, "Label5", 25);
    form.Label6 = makeLabel(adjustments, "Label6", 26);
    form.widthInput = makeInput(adjustments, "widthInput", 3);
    form.widthTick = makeTick(adjustments, "widthTick", 1, 200);
    form.heightInput = makeInput(adjustments, "heightInput", 3);
    form.heightTick = makeTick(adjustments, "heightTick", 1, 200);
    form.brightInput = makeInput(adjustments, "brightInput", 4);
    form.brightTick = makeTick(adjustments, "brightTick", -100, 100);
    form.contrastInput = makeInput(adjustments, "contrastInput", 4);
    form.contrastTick = makeTick(adjustments, "contrastTick", -100, 100);
    form.filterCombo = makeControl<QComboBox>(adjustments, "filterCombo");
    form.filterCombo->addItems(kFilterEntries);
    form.qualityCombo = makeControl<QComboBox>(adjustments, "qualityCombo");
    form.qualityCombo->setEditable(true);
    form.qualityCombo->setInsertPolicy(QComboBox::NoInsert);
    form.qualityCombo->addItems(kQualityEntries);
    form.qualityCombo->setCurrentIndex(0);

    form.Frame4 = makeFrame(client, "Frame4", 19);
    const lensbox::ControlCreation viewer =
        lensbox::createControl(QString::fromLatin1(lensbox::kZoomwellIdentifier), form.Frame4);
    if (!viewer.control)
        throw std::runtime_error(viewer.error.toStdString());
    form.Zoomwell = viewer.control;
    form.Zoomwell->setObjectName(QStringLiteral("Zoomwell"));
    form.infoLabel = makeControl<QLabel>(form.Frame4, "infoLabel");
    form.infoLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    form.Frame5 = makeFrame(client, "Frame5", 20);
    form.capInput = makeControl<QPlainTextEdit>(form.Frame5, "capInput");
    form.capInput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    form.capInput->setTabChangesFocus(true);

    form.previewButton =
        makePictureButton(client, "previewButton", ButtonPicture::Preview, kPictureSize, "Preview Adjustments");
    form.recordButton =
        makePictureButton(client, "recordButton", ButtonPicture::Save, kPictureSize, "Save Adjustments");
    form.resetButton =
        makePictureButton(client, "resetButton", ButtonPicture::Clear, kPictureSize, "Clear Adjustments");
    form.resetAllButton =
        makePictureButton(client, "resetAllButton", ButtonPicture::TrashAll, kPictureSize, "Trash ALL Adjustments");
    form.aboutButton = makePictureButton(client, "aboutButton", ButtonPicture::About, kPictureSize, "About");
    form.startButton = makeControl<QPushButton>(client, "startButton");
    form.startButton->setText(message(30));
    form.startButton->setToolTip(QStringLiteral("Scale the selected image(s)"));

    // The keyboard goes through the window as the eye reads it: the folder,
    // the list, the adjustments, the viewer, the description, the buttons.
    const QList<QWidget *> tabOrder{form.dirInput,     form.srcButton,   form.ListView1,      form.widthInput,
                                    form.heightInput,  form.brightInput, form.contrastInput,  form.filterCombo,
                                    form.qualityCombo, form.Zoomwell,    form.capInput,       form.previewButton,
                                    form.recordButton, form.resetButton, form.resetAllButton, form.aboutButton,
                                    form.startButton};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    const QScreen *screen = window.screen();
    placeControls(*client, screen ? screen->logicalDotsPerInch() : 96.0);
    window.setFixedSize(window.sizeHint());
    return form;
}

} // namespace tovin
