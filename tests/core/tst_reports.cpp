// Refused fields, error reports, new folders, settings and start-up.

#include "errorreport.h"
#include "fieldchecks.h"
#include "makefolder.h"
#include "messagetable.h"
#include "recordstore.h"
#include "runtimeerror.h"
#include "scriptedprompts.h"
#include "settingsstore.h"
#include "startup.h"
#include "testenvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using tovin::test::messageBox;

class ReportsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settings;
    test::ScriptedPrompts m_prompts;

private slots:
    void initTestCase() { test::useTemporarySettings(m_settings); }
    void init() { m_prompts = {}; }

    // A field's range, or the characters a folder ("path") or a file name
    // ("name") may not hold.
    void refusesFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");
        const QString percent = QStringLiteral("Number must be between 1 and 200.");
        const QString level = QStringLiteral("Number must be -100 and 100.");
        const QString notNumber = QStringLiteral("Please enter a number.");
        const QString unacceptable = QStringLiteral(" ' %1 ' is an unacceptable character.\n");
        // clang-format off
        QTest::newRow("width 0") << "widthInput" << "0" << percent;
        QTest::newRow("width 0.5") << "widthInput" << "0.5" << "";
        QTest::newRow("height 201") << "heightInput" << "201" << percent;
        QTest::newRow("width emptied") << "widthInput" << "" << notNumber;
        QTest::newRow("brightness -100") << "brightInput" << "-100" << "";
        QTest::newRow("brightness -101") << "brightInput" << "-101" << level;
        QTest::newRow("rows 10") << "thumb_r" << "10" << "";
        QTest::newRow("rows 11") << "thumb_r" << "11" << "Value must be between 1 to 10";
        QTest::newRow("columns 0") << "thumb_c" << "0" << "Value must be between 1 to 10";
        QTest::newRow("slide alpha 0") << "slide_a" << "0" << "";
        QTest::newRow("thumb padding 101") << "thumb_p" << "101" << "Value must be between 0 to 100";
        QTest::newRow("slide x at the screen's edge") << "slide_x" << "19200" << "";
        QTest::newRow("slide x past the edge") << "slide_x" << "19201" << "Value must be between 1 to 19200";
        QTest::newRow("spacing against the height") << "thumb_s" << "15361" << "Value must be between 1 to 15360";
        QTest::newRow("folder") << "path" << "/photos/out" << "";
        QTest::newRow("question mark in a folder") << "path" << "/photos/out?" << unacceptable.arg(QChar(u'?'));
        QTest::newRow("backslash in a folder") << "path" << "/photos\\out" << unacceptable.arg(QChar(u'\\'));
        QTest::newRow("the first forbidden one is named") << "path" << "/a|b*c" << unacceptable.arg(QChar(u'|'));
        QTest::newRow("empty folder") << "path" << "   " << "Field is empty. Please try again.";
        QTest::newRow("empty file name") << "name" << "" << "";
        QTest::newRow("colon in a file name") << "name" << "a:b" << unacceptable.arg(QChar(u':'));
        QTest::newRow("separator in a file name") << "name" << "a/b" << unacceptable.arg(QChar(u'/'));
        // Seen nowhere, so named by their code and their field.
        QTest::newRow("control character in a file name") << "name" << "a\x01" "b"
                                                          << "Save As:" + unacceptable.arg("U+0001");
        QTest::newRow("control character in a folder") << "path" << "/photos/\x7F" << "Save To:" + unacceptable.arg("U+007F");
        QTest::newRow("a visible one is named first") << "name" << "\x1B:" << unacceptable.arg(QChar(u':'));
        // clang-format on
    }

    void refusesFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        // A 1280 x 1024 screen at 96 dots per inch.
        const bool accepted = field == QLatin1String("path") || field == QLatin1String("name")
            ? CheckForbiddenCharacters(text, field == QLatin1String("path"), m_prompts,
                                       field == QLatin1String("path") ? message(70) : message(71))
            : ValidateAdjustmentField(field, text, ScreenTwips{19200, 15360}, m_prompts);
        QCOMPARE(accepted, refusal.isEmpty());
        QCOMPARE(m_prompts.shown,
                 refusal.isEmpty() ? QList<test::ShownPrompt>()
                                   : QList{messageBox(refusal, QStringLiteral("Error!"), PromptIcon::Exclamation)});
    }

    void errorReportShape()
    {
        const RuntimeError error(76, QStringLiteral("Path not found"));
        showErrorReport(m_prompts, error);
        showErrorReport(m_prompts, error.aboutFile(QStringLiteral("/home/ann/a.jpg")));
        const QString title = QStringLiteral("Error! #76");
        QCOMPARE(m_prompts.shown,
                 (QList{messageBox(QStringLiteral("Error! (# 76): Path not found"), title, PromptIcon::Critical),
                        messageBox(QStringLiteral("Error! (# 76): Path not found: /home/ann/a.jpg"), title,
                                   PromptIcon::Critical)}));
    }

    void makeFolder_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("created");
        QTest::addColumn<int>("error");
        QTest::newRow("new folder") << "fresh" << true << 0;
        QTest::newRow("already there") << "existing" << false << 0;
        QTest::newRow("two levels missing") << "missing/child" << false << 76;
        QTest::newRow("a file in the way") << "a-file" << false << 58;
    }

    void makeFolder()
    {
        QFETCH(QString, relative);
        QFETCH(bool, created);
        QFETCH(int, error);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkdir(QStringLiteral("existing")));
        QVERIFY(test::writeBytes(root.filePath(QStringLiteral("a-file")), {}));
        QCOMPARE(MakeFolder(root.filePath(relative), m_prompts), created);
        QCOMPARE(QFileInfo(root.filePath(relative)).isDir(), created || relative == QLatin1String("existing"));
        // The report names the folder (its wording is pinned with the batch run's).
        QVERIFY(!error || m_prompts.transcript().contains(root.filePath(relative)));
        QCOMPARE(m_prompts.takeTitles(), error ? QStringList{"Error! #" + QString::number(error)} : QStringList());
    }

    // Texts come back verbatim (checked with the main window's settings); here:
    // a nested section is its own group, a renamed copy of the program starts fresh.
    void settingsKeepTextsPerProgramAndSection()
    {
        const QString nested = QStringLiteral("Startup\\Sorvel");
        const QString none = QStringLiteral("none");
        SettingsStore(QStringLiteral("Tovin_en")).write(nested, QStringLiteral("k"), QStringLiteral(" 5 "));
        const SettingsStore sameProgram(QStringLiteral("Tovin_en"));
        QCOMPARE(sameProgram.read(nested, QStringLiteral("k"), none), QStringLiteral(" 5 "));
        QCOMPARE(sameProgram.read(QStringLiteral("Startup"), QStringLiteral("k"), none), none);
        QCOMPARE(SettingsStore(QStringLiteral("Tovin_copy")).read(nested, QStringLiteral("k"), none), none);
    }

    // Without a Record List the program ends; with one it makes its work
    // folder and works in the program folder.
    void startup()
    {
        for (bool withRecordList : {false, true}) {
            QTemporaryDir programFolder;
            QVERIFY(!withRecordList || test::installRecordList(programFolder.path()));
            RecordStore records(programFolder.path(), m_prompts);
            const QString before = QDir::currentPath();
            QCOMPARE(prepareProgramFolder(programFolder.path(), records, m_prompts), withRecordList);
            QCOMPARE(QFileInfo(programFolder.filePath(QStringLiteral("tmp"))).isDir(), withRecordList);
            QCOMPARE(QDir::currentPath(), withRecordList ? QDir(programFolder.path()).canonicalPath() : before);
            QDir::setCurrent(before);
        }
        QCOMPARE(m_prompts.shown,
                 QList{messageBox(QStringLiteral("Could not load database file. Application will be terminated!"),
                                  QStringLiteral("Error! #0"), PromptIcon::Critical)});
    }
};

QTEST_GUILESS_MAIN(ReportsTest)
#include "tst_reports.moc"
