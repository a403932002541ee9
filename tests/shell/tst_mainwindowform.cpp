#include "mainwindowform.h"

#include <QAbstractButton>
#include <QComboBox>
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
    void controlCaptions_data();
    void controlCaptions();
    void pictureButtons_data();
    void pictureButtons();
    void clientAreaHasTheFixedSize();
    void everyControlLiesInsideItsParent();
    void listHasThreeColumnsInReportStyle();
};

void MainWindowFormTest::controlCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    const auto row = [](const char *name, const char *caption, const char *toolTip = "") {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption)
                            << QString::fromLatin1(toolTip);
    };
    row("Frame1", "Image Location:");
    row("Frame2", "Image List:");
    row("Frame3", "Image Adjustments:");
    row("Frame4", "Image Preview:");
    row("Frame5", "Image Description:");
    row("Label1", "Width (%):");
    row("Label2", "Height (%):");
    row("Label3", "Bright:");
    row("Label4", "Contrast:");
    row("Label5", "Filter:");
    row("Label6", "Quality:");
    row("startButton", "&Scale..", "Scale the selected image(s)");
}

void MainWindowFormTest::controlCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QMainWindow window;
    buildMainWindowForm(window);
    QWidget *control = window.findChild<QWidget *>(name);
    QVERIFY(control);
    QString shown;
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        shown = frame->title();
    else if (auto *label = qobject_cast<QLabel *>(control))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        shown = button->text();
    QCOMPARE(shown, caption);
    QCOMPARE(control->toolTip(), toolTip);
}

void MainWindowFormTest::pictureButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<int>("pictureSize");
    QTest::newRow("srcButton") << "srcButton"
                               << "Browse For Folder" << 22;
    QTest::newRow("previewButton") << "previewButton"
                                   << "Preview Adjustments" << 16;
    QTest::newRow("recordButton") << "recordButton"
                                  << "Save Adjustments" << 16;
    QTest::newRow("resetButton") << "resetButton"
                                 << "Clear Adjustments" << 16;
    QTest::newRow("resetAllButton") << "resetAllButton"
                                    << "Trash ALL Adjustments" << 16;
    QTest::newRow("aboutButton") << "aboutButton"
                                 << "About" << 16;
}

void MainWindowFormTest::pictureButtons()
{
    QFETCH(QString, name);
    QFETCH(QString, toolTip);
    QFETCH(int, pictureSize);
    QMainWindow window;
    buildMainWindowForm(window);
    auto *button = window.findChild<QAbstractButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->toolTip(), toolTip);
    QVERIFY(button->text().isEmpty());
    QCOMPARE(button->iconSize(), QSize(pictureSize, pictureSize));
    QVERIFY(!button->icon().pixmap(pictureSize).isNull());
}

void MainWindowFormTest::clientAreaHasTheFixedSize()
{
    QMainWindow window;
    buildMainWindowForm(window);
    const double dpi = window.screen()->logicalDotsPerInch();
    const QSize expected(qRound(10455 * dpi / 1440), qRound(6015 * dpi / 1440));
    QCOMPARE(window.centralWidget()->size(), expected);
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
}

// A control placed past its frame's edge would be cut off on screen.
void MainWindowFormTest::everyControlLiesInsideItsParent()
{
    QMainWindow window;
    buildMainWindowForm(window);
    const QList<QWidget *> controls = window.centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *frameOrControl : controls) {
        QVERIFY2(window.centralWidget()->rect().contains(frameOrControl->geometry()),
                 qPrintable(frameOrControl->objectName()));
        if (!qobject_cast<QGroupBox *>(frameOrControl))
            continue;
        for (QWidget *inner : frameOrControl->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            QVERIFY2(frameOrControl->rect().contains(inner->geometry()), qPrintable(inner->objectName()));
    }
}

void MainWindowFormTest::listHasThreeColumnsInReportStyle()
{
    QMainWindow window;
    buildMainWindowForm(window);
    auto *list = window.findChild<QTreeWidget *>(QStringLiteral("ListView1"));
    QVERIFY(list);
    const double dpi = window.screen()->logicalDotsPerInch();
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("Name"));
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("Date Created"));
    QCOMPARE(list->headerItem()->text(2), QStringLiteral("Size"));
    QCOMPARE(list->columnWidth(0), qRound(4057 * dpi / 1440));
    QCOMPARE(list->columnWidth(2), qRound(1764 * dpi / 1440));
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
}

QTEST_MAIN(MainWindowFormTest)
#include "tst_mainwindowform.moc"
