#pragma once

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace lensbox {
class ZoomwellCtl;
}

namespace tovin {

// The controls of the main window, each with the objectName it is known by.
// The form only builds and places them; MainWindow and the adjustment
// handlers give them their behaviour.
struct MainWindowForm {
    QWidget *client = nullptr;

    QGroupBox *Frame1 = nullptr;
    QLineEdit *dirInput = nullptr;
    QToolButton *srcButton = nullptr;

    QGroupBox *Frame2 = nullptr;
    QTreeWidget *ListView1 = nullptr;

    QGroupBox *Frame3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *widthInput = nullptr;
    QSpinBox *widthTick = nullptr;
    QLineEdit *heightInput = nullptr;
    QSpinBox *heightTick = nullptr;
    QLineEdit *brightInput = nullptr;
    QSpinBox *brightTick = nullptr;
    QLineEdit *contrastInput = nullptr;
    QSpinBox *contrastTick = nullptr;
    QComboBox *filterCombo = nullptr;
    QComboBox *qualityCombo = nullptr;

    QGroupBox *Frame4 = nullptr;
    lensbox::ZoomwellCtl *Zoomwell = nullptr;
    QLabel *infoLabel = nullptr;

    QGroupBox *Frame5 = nullptr;
    QPlainTextEdit *capInput = nullptr;

    QToolButton *previewButton = nullptr;
    QToolButton *recordButton = nullptr;
    QToolButton *resetButton = nullptr;
    QToolButton *resetAllButton = nullptr;
    QToolButton *aboutButton = nullptr;
    QPushButton *startButton = nullptr;

    QMenu *editMenu = nullptr;
    QAction *removeAction = nullptr;
    QAction *newFolderAction = nullptr;
};

// The list's columns, by position.
enum ListColumn { NameColumn = 0, DateColumn = 1, SizeColumn = 2 };

// Builds the window's controls on `window` at their places for the screen's
// resolution, and fixes the client area's size.
MainWindowForm buildMainWindowForm(QMainWindow &window);

} // namespace tovin
