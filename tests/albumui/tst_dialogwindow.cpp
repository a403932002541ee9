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

QCheckBox *showCheck(DialogWindow &dialog)
{
    return dialog.findChild<QCheckBox *>(QStringLiteral("showCheck"));
}

Action clicking(const char *name)
{
    return [name](DialogWindow &d) { QTest::mouseClick(button(d, name), Qt::LeftButton); };
}

Action pressing(Qt::Key key)
{
    return [key](DialogWindow &d) { QTest::keyClick(&d, key); };
}

} // namespace

class DialogWindowTest : public QObject
{
    Q_OBJECT

private slots:
    // A first question has no title.
    void overwriteAnswers()
    {
        const Action checkThenYes = [](DialogWindow &d) {
            showCheck(d)->setChecked(true);
            clicking("okButton")(d);
        };
        const Action titleBarRefusedThenYes = [](DialogWindow &d) {
            QVERIFY(!d.close() && d.isVisible());
            clicking("okButton")(d);
        };
        for (const auto &[action, answer] : {std::pair{clicking("okButton"), OverwriteAnswer::Replace},
                                             {checkThenYes, OverwriteAnswer::ReplaceWithoutAsking},
                                             {titleBarRefusedThenYes, OverwriteAnswer::Replace},
                                             {clicking("cancelButton"), OverwriteAnswer::Cancel},
                                             {pressing(Qt::Key_Return), OverwriteAnswer::Cancel},
                                             {pressing(Qt::Key_Escape), OverwriteAnswer::Cancel}}) {
            DialogWindow dialog;
            whileShown(dialog, action);
            QCOMPARE(dialog.askOverwrite(QStringLiteral("a.jpg")), answer);
            QCOMPARE(dialog.canceled(), answer == OverwriteAnswer::Cancel);
            QCOMPARE(dialog.windowTitle(), QString());
        }
    }

    // A notice has OK alone and closes every way.
    void noticeClosesLikeOk()
    {
        const Action titleBar = [](DialogWindow &d) { QVERIFY(d.close()); };
        for (const Action &action :
             {clicking("okButton"), titleBar, pressing(Qt::Key_Return), pressing(Qt::Key_Escape)}) {
            DialogWindow dialog;
            whileShown(dialog, [action](DialogWindow &d) {
                QVERIFY(!button(d, "cancelButton")->isVisible() && !showCheck(d)->isVisible());
                QCOMPARE(button(d, "okButton")->text(), QStringLiteral("OK"));
                action(d);
            });
            dialog.showNotice(QStringLiteral("Templates missing"), message(111));
            QCOMPARE(dialog.windowTitle(), message(111));
        }
    }

    void questionShowsTheFileAndKeepsTheLastTitle()
    {
        DialogWindow dialog;
        whileShown(dialog, clicking("okButton"));
        dialog.showNotice(QStringLiteral("Saved"), message(112));
        whileShown(dialog, [](DialogWindow &d) {
            QCOMPARE(d.windowTitle(), message(112));
            QCOMPARE(d.findChild<QLabel *>(QStringLiteral("msgLabel"))->text(), QStringLiteral("a.jpg question"));
            QVERIFY(showCheck(d)->isVisible() && button(d, "cancelButton")->isVisible());
            clicking("cancelButton")(d);
        });
        QCOMPARE(dialog.askOverwrite(QStringLiteral("a.jpg question")), OverwriteAnswer::Cancel);
    }
};

QTEST_MAIN(DialogWindowTest)
#include "tst_dialogwindow.moc"
