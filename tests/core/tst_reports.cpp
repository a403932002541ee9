// How the program tells the user about failures, creates folders, keeps its
// settings and starts up.

#include "errorreport.h"
#include "makefolder.h"
#include "recordstore.h"
#include "runtimeerror.h"
#include "scriptedprompts.h"
#include "settingsstore.h"
#include "startup.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using tovin::test::ScriptedPrompts;
using tovin::test::ShownPrompt;

class ReportsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void errorReportShape();
    void makeFolder_data();
    void makeFolder();
    void settingsKeepTextsPerProgramAndSection();
    void startupWithoutRecordListEnds();
    void startupCreatesWorkFolder();

private:
    QTemporaryDir m_settings;
};

void ReportsTest::initTestCase()
{
    test::useTemporarySettings(m_settings);
}

void ReportsTest::errorReportShape()
{
    ScriptedPrompts prompts;
    showErrorReport(prompts, RuntimeError(76, QStringLiteral("Path not found")));
    QCOMPARE(prompts.shown,
             QList<ShownPrompt>{test::messageBox(QStringLiteral("Error! (# 76): Path not found"),
                                                 QStringLiteral("Error! #76"), PromptIcon::Critical)});
}

// clang-format off
void ReportsTest::makeFolder_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("created");
    QTest::addColumn<QString>("report");
    QTest::newRow("new folder") << "fresh" << true << QString();
    QTest::newRow("already there") << "existing" << false << QString();
    QTest::newRow("two levels missing") << "missing/child" << false << "Could not create folder:%1/missing/child Path not found|Error! #76";
    QTest::newRow("a file in the way") << "a-file" << false << "Could not create folder:%1/a-file File already exists|Error! #58";
}
// clang-format on

void ReportsTest::makeFolder()
{
    QFETCH(QString, relative);
    QFETCH(bool, created);
    QFETCH(QString, report);

    QTemporaryDir root;
    QDir(root.path()).mkdir(QStringLiteral("existing"));
    QFile(root.filePath(QStringLiteral("a-file"))).open(QIODevice::WriteOnly);
    ScriptedPrompts prompts;

    QCOMPARE(MakeFolder(root.filePath(relative), prompts), created);
    QCOMPARE(QFileInfo(root.filePath(relative)).isDir(), created || relative == QLatin1String("existing"));
    if (report.isEmpty()) {
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.transcript()));
        return;
    }
    const QStringList expected = report.arg(root.path()).split(u'|');
    QCOMPARE(prompts.shown, QList<ShownPrompt>{test::messageBox(expected.at(0), expected.at(1), PromptIcon::Critical)});
}

// Texts come back verbatim (checked with the main window's settings); here:
// a nested section is its own group, a renamed copy of the program starts fresh.
void ReportsTest::settingsKeepTextsPerProgramAndSection()
{
    const QString nested = QStringLiteral("Startup\\Sorvel");
    const QString none = QStringLiteral("none");
    SettingsStore(QStringLiteral("Tovin_en")).write(nested, QStringLiteral("k"), QStringLiteral(" 5 "));

    const SettingsStore sameProgram(QStringLiteral("Tovin_en"));
    QCOMPARE(sameProgram.read(nested, QStringLiteral("k"), none), QStringLiteral(" 5 "));
    QCOMPARE(sameProgram.read(QStringLiteral("Startup"), QStringLiteral("k"), none), none);
    QCOMPARE(SettingsStore(QStringLiteral("Tovin_copy")).read(nested, QStringLiteral("k"), none), none);
}

void ReportsTest::startupWithoutRecordListEnds()
{
    QTemporaryDir programFolder;
    ScriptedPrompts prompts;
    RecordStore records(programFolder.path(), prompts);
    QVERIFY(!prepareProgramFolder(programFolder.path(), records, prompts));
    QCOMPARE(prompts.shown,
             QList<ShownPrompt>{
                 test::messageBox(QStringLiteral("Could not load database file. Application will be terminated!"),
                                  QStringLiteral("Error! #0"), PromptIcon::Critical)});
    QVERIFY(!QFileInfo::exists(programFolder.filePath(QStringLiteral("tmp"))));
}

void ReportsTest::startupCreatesWorkFolder()
{
    QTemporaryDir programFolder;
    QVERIFY(test::installRecordList(programFolder.path()));
    ScriptedPrompts prompts;
    RecordStore records(programFolder.path(), prompts);
    const QString before = QDir::currentPath();
    QVERIFY(prepareProgramFolder(programFolder.path(), records, prompts));
    QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.transcript()));
    QVERIFY(QFileInfo(programFolder.filePath(QStringLiteral("tmp"))).isDir());
    QCOMPARE(QDir::currentPath(), QDir(programFolder.path()).canonicalPath());
    QDir::setCurrent(before);
}

QTEST_GUILESS_MAIN(ReportsTest)
#include "tst_reports.moc"
