// frmDialog as the user meets it: which answer each key and button gives,
// what the title bar may do, and which title a question carries over.

#include "dialogwindow.h"
#include "messagetable.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tovin;

namespace {

using Action = std::function<void(DialogWindow &)>;

// Runs the action once the dialog's own event loop is up, and closes a
// dialog the action left open so that a failing test cannot hang.
void whileShown(DialogWindow &dialog, const Action &action)
{
    QTimer::singleShot(0, &dialog, [&dialog, action] {
        action(dialog);
        if (dialog.isVisible()) {
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(QDialog::Rejected); });
            QFAIL("the dialog stayed open");
        }
    });
}

QPushButton *button(DialogWindow &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

void click(DialogWindow &dialog, const char *name)
{
    QTest::mouseClick(button(dialog, name), Qt::LeftButton);
}

} // namespace

class DialogWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void overwriteAnswers_data();
    void overwriteAnswers();
    void noticeClosesLikeOk_data();
    void noticeClosesLikeOk();
    void questionShowsTheFileAndKeepsTheLastTitle();
};

void DialogWindowTest::overwriteAnswers_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<OverwriteAnswer>("answer");
    QTest::newRow("YES") << Action([](DialogWindow &d) { click(d, "okButton"); }) << OverwriteAnswer::Replace;
    QTest::newRow("YES, do not ask again") << Action([](DialogWindow &d) {
        d.findChild<QCheckBox *>(QStringLiteral("showCheck"))->setChecked(true);
        click(d, "okButton");
    }) << OverwriteAnswer::ReplaceWithoutAsking;
    QTest::newRow("title bar refused, then YES") << Action([](DialogWindow &d) {
        QVERIFY(!d.close());
        QVERIFY(d.isVisible());
        click(d, "okButton");
    }) << OverwriteAnswer::Replace;
    QTest::newRow("Cancel") << Action([](DialogWindow &d) { click(d, "cancelButton"); }) << OverwriteAnswer::Cancel;
    QTest::newRow("Enter") << Action([](DialogWindow &d) { QTest::keyClick(&d, Qt::Key_Return); })
                           << OverwriteAnswer::Cancel;
    QTest::newRow("Escape") << Action([](DialogWindow &d) { QTest::keyClick(&d, Qt::Key_Escape); })
                            << OverwriteAnswer::Cancel;
}

void DialogWindowTest::overwriteAnswers()
{
    QFETCH(Action, action);
    QFETCH(OverwriteAnswer, answer);
    DialogWindow dialog;
    whileShown(dialog, action);
    QCOMPARE(dialog.askOverwrite(QStringLiteral("a.jpg")), answer);
    QCOMPARE(dialog.canceled(), answer == OverwriteAnswer::Cancel);
    QCOMPARE(dialog.windowTitle(), QString()); // a first question has no title
}

void DialogWindowTest::noticeClosesLikeOk_data()
{
    QTest::addColumn<Action>("action");
    QTest::newRow("OK") << Action([](DialogWindow &d) { click(d, "okButton"); });
    QTest::newRow("title bar") << Action([](DialogWindow &d) { QVERIFY(d.close()); });
    QTest::newRow("Enter") << Action([](DialogWindow &d) { QTest::keyClick(&d, Qt::Key_Return); });
    QTest::newRow("Escape") << Action([](DialogWindow &d) { QTest::keyClick(&d, Qt::Key_Escape); });
}

void DialogWindowTest::noticeClosesLikeOk()
{
    QFETCH(Action, action);
    DialogWindow dialog;
    whileShown(dialog, [action](DialogWindow &d) {
        QVERIFY(!button(d, "cancelButton")->isVisible());
        QVERIFY(!d.findChild<QCheckBox *>(QStringLiteral("showCheck"))->isVisible());
        QCOMPARE(button(d, "okButton")->text(), QStringLiteral("OK"));
        action(d);
    });
    dialog.showNotice(QStringLiteral("Templates missing"), message(111));
    QCOMPARE(dialog.windowTitle(), message(111));
}

void DialogWindowTest::questionShowsTheFileAndKeepsTheLastTitle()
{
    DialogWindow dialog;
    whileShown(dialog, [](DialogWindow &d) { click(d, "okButton"); });
    dialog.showNotice(QStringLiteral("Saved"), message(112));
    whileShown(dialog, [](DialogWindow &d) {
        QCOMPARE(d.windowTitle(), message(112));
        QCOMPARE(d.findChild<QLabel *>(QStringLiteral("msgLabel"))->text(), QStringLiteral("a.jpg question"));
        QVERIFY(d.findChild<QCheckBox *>(QStringLiteral("showCheck"))->isVisible());
        QCOMPARE(d.findChild<QCheckBox *>(QStringLiteral("showCheck"))->text(), message(86));
        QCOMPARE(button(d, "okButton")->text(), message(77));
        QCOMPARE(button(d, "cancelButton")->text(), message(74));
        QVERIFY(button(d, "cancelButton")->isVisible());
        click(d, "cancelButton");
    });
    QCOMPARE(dialog.askOverwrite(QStringLiteral("a.jpg question")), OverwriteAnswer::Cancel);
}

QTEST_MAIN(DialogWindowTest)
#include "tst_dialogwindow.moc"
