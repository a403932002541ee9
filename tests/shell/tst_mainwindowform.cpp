#include "mainwindowform.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>

using namespace tovin;

class MainWindowFormTest : public QObject
{
    Q_OBJECT

private slots:
    void controls_data();
    void controls();
    void clientAreaHasTheFixedSize();
    void everyControlLiesInsideItsParent();
    void listHasThreeColumnsInReportStyle();
};

// clang-format off
void MainWindowFormTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<int>("pictureSize"); // 0: a control without a picture
    QTest::newRow("frame") << "Frame3" << "Image Adjustments:" << "" << 0;
    QTest::newRow("label") << "Label1" << "Width (%):" << "" << 0;
    QTest::newRow("scale") << "startButton" << "&Scale.." << "Scale the selected image(s)" << 0;
    QTest::newRow("browse") << "srcButton" << "" << "Browse For Folder" << 22;
    QTest::newRow("trash all") << "resetAllButton" << "" << "Trash ALL Adjustments" << 16;
}
// clang-format on

void MainWindowFormTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(int, pictureSize);
    QMainWindow window;
    buildMainWindowForm(window);
    QWidget *control = window.findChild<QWidget *>(name);
    QVERIFY(control);
    QString shown;
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        shown = frame->title();
    else if (auto *label = qobject_cast<QLabel *>(control))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        shown = button->text();
        if (pictureSize > 0) {
            QCOMPARE(button->iconSize(), QSize(pictureSize, pictureSize));
            QVERIFY(!button->icon().pixmap(pictureSize).isNull());
        }
    }
    QCOMPARE(shown, caption);
    QCOMPARE(control->toolTip(), toolTip);
}

void MainWindowFormTest::clientAreaHasTheFixedSize()
{
    QMainWindow window;
    buildMainWindowForm(window);
    const double dpi = window.screen()->logicalDotsPerInch();
    QCOMPARE(window.centralWidget()->size(), QSize(qRound(10455 * dpi / 1440), qRound(6015 * dpi / 1440)));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY((window.windowFlags() & Qt::WindowMinimizeButtonHint)
            && !(window.windowFlags() & Qt::WindowMaximizeButtonHint));
}

// A control placed past its frame's edge would be cut off on screen.
void MainWindowFormTest::everyControlLiesInsideItsParent()
{
    QMainWindow window;
    buildMainWindowForm(window);
    for (QWidget *control : window.centralWidget()->findChildren<QWidget *>()) {
        if (control->parentWidget()->inherits("QGroupBox") || control->parentWidget() == window.centralWidget())
            QVERIFY2(control->parentWidget()->rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
}

void MainWindowFormTest::listHasThreeColumnsInReportStyle()
{
    QMainWindow window;
    buildMainWindowForm(window);
    auto *list = window.findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    QVERIFY(list);
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("Date Created"));
    QCOMPARE(list->columnWidth(0), qRound(4057 * window.screen()->logicalDotsPerInch() / 1440));
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
}

QTEST_MAIN(MainWindowFormTest)
#include "tst_mainwindowform.moc"
