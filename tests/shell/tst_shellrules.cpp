#include "listkeys.h"
#include "listsorting.h"
#include "mainsettings.h"
#include "networkpath.h"
#include "programversion.h"
#include "recordschema.h"
#include "settingsstore.h"
#include "testenvironment.h"
#include "writablefolders.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace tovin;

class ShellRulesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settingsFolder;

private slots:
    void initTestCase() { test::useTemporarySettings(m_settingsFolder); }

    void listKeys()
    {
        struct Row {
            int key, modifiers;
            std::optional<ListEntryKind> selected;
            ListKeyAction action;
        };
        const std::optional<ListEntryKind> none, up = ListEntryKind::Up, folder = ListEntryKind::Folder,
                                                 image = ListEntryKind::Image;
        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        for (const Row &row : {
                 Row{Qt::Key_Down, 0, image, ListKeyAction::OpenImage},
                 Row{Qt::Key_Up, shift, image, ListKeyAction::OpenImage},
                 Row{Qt::Key_Down, 0, folder, ListKeyAction::Nothing},
                 Row{Qt::Key_Return, 0, image, ListKeyAction::OpenImage},
                 Row{Qt::Key_Enter, Qt::KeypadModifier, folder, ListKeyAction::EnterFolder},
                 Row{Qt::Key_Space, ctrl, up, ListKeyAction::EnterFolder},
                 Row{Qt::Key_Return, 0, none, ListKeyAction::Nothing},
                 Row{Qt::Key_R, ctrl, image, ListKeyAction::DeleteImageRecord},
                 Row{Qt::Key_R, ctrl | shift, image, ListKeyAction::DeleteAllRecords},
                 Row{Qt::Key_R, ctrl | shift, folder, ListKeyAction::Nothing},
                 Row{Qt::Key_R, ctrl | Qt::AltModifier, image, ListKeyAction::Nothing},
                 Row{Qt::Key_Backspace, 0, none, ListKeyAction::GoUp},
             })
            QCOMPARE(listKeyAction(row.key, Qt::KeyboardModifiers(row.modifiers), row.selected), row.action);
    }

    // Texts compare as texts ("10KB" before "9KB"), empty texts first; one
    // direction for all columns, turned by each click.
    void headerSort()
    {
        const QStringList listed{". . . .", "b", "A.jpg", "c.jpg"};
        for (const auto &[clicks, order] : {
                 std::pair<QList<int>, QStringList>{{}, listed},
                 {{0}, {"c.jpg", "b", "A.jpg", ". . . ."}},
                 {{0, 0}, {". . . .", "A.jpg", "b", "c.jpg"}},
                 {{0, 2}, listed},
                 {{1}, {"A.jpg", "c.jpg", ". . . .", "b"}},
             }) {
            QList<ListEntry> entries{{ListEntryKind::Up, "/p/", listed[0], {}, {}},
                                     {ListEntryKind::Folder, "/p/b", listed[1], {}, {}},
                                     {ListEntryKind::Image, "/p/A.jpg", listed[2], "2/1/24", "10KB"},
                                     {ListEntryKind::Image, "/p/c.jpg", listed[3], "1/1/24", "9KB"}};
            ListSort sort;
            for (int column : clicks)
                sort.click(column);
            sort.apply(entries);
            QStringList names;
            for (const ListEntry &entry : entries)
                names << entry.name;
            QCOMPARE(names, order);
        }
    }

    // Past either end, not a 16-bit number: the first entry.
    void listPositions()
    {
        for (const auto &[stored, position] : {std::pair<QString, int>{"4", 4},
                                               {"-1", -1},
                                               {"5", 0},
                                               {"-2", 0},
                                               {"Bicubic", 0},
                                               {"65539", 0},
                                               {" 3 ", 3}})
            QCOMPARE(listPositionFromSetting(stored, 5), position);
    }

    // Defaults on a first run; afterwards stored as typed, even what the
    // fields would refuse.
    void mainSettings()
    {
        const MainSettings defaults{"/opt/tovin", "100", "100", "0", "0", "0", "0"};
        QCOMPARE(readMainSettings(SettingsStore(QStringLiteral("firstRun")), QStringLiteral("/opt/tovin")), defaults);
        for (const MainSettings &settings : {MainSettings{"  /a b/  ", "abc", "", "-999", "1,5", "-1", "-1"},
                                             MainSettings{"C:\\x\\y", "=1", ";2", "#3", "\"4\"", "0", "0"}}) {
            {
                SettingsStore store(settings.widthInput);
                writeMainSettings(store, settings);
            }
            QCOMPARE(readMainSettings(SettingsStore(settings.widthInput), QStringLiteral("/unused")), settings);
        }
    }

    void networkPaths()
    {
        for (const auto &[path, network] : {std::pair<QString, bool>{"\\\\server\\share", true},
                                            {"//host/share", true},
                                            {"smb://host/share", true},
                                            {"/home/u/Photos", false},
                                            {"/home/u/a:b", false},
                                            {"Photos", false}})
            QCOMPARE(isNetworkPath(path), network);
    }

    void versionText()
    {
        QCOMPARE(tovin::versionText(1, 4, 109), QStringLiteral("Version 1.4.109"));
        QVERIFY(programVersionText().startsWith(QStringLiteral("Version ")));
    }

    void writableFolders()
    {
        const auto folders = [](bool writable) {
            const WritableFolders chosen = chooseWritableFolders("/build/bin", writable, "/u/share/T", "/u/cache/T");
            return QStringList{chosen.records, chosen.work};
        };
        QCOMPARE(folders(true), QStringList({"/build/bin", "/build/bin"}));
        QCOMPARE(folders(false), QStringList({"/u/share/T", "/u/cache/T"}));
    }

    // The user's copy holds the user's records: a later start keeps it.
    void recordListSeededOnce()
    {
        QTemporaryDir program, user;
        QVERIFY(test::installRecordList(program.path()));
        const QString installed = program.path() + QString::fromLatin1(kRecordListPath);
        QVERIFY(QFile::setPermissions(installed, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QString own = user.path() + QString::fromLatin1(kRecordListPath);
        QVERIFY(seedRecordList(program.path(), user.path()));
        QCOMPARE(QFileInfo(own).size(), QFileInfo(installed).size());
        QVERIFY(QFileInfo(own).permissions() & QFile::WriteOwner);
        QVERIFY(test::writeBytes(own, test::readBytes(own) + 'x'));
        QVERIFY(seedRecordList(program.path(), user.path()));
        QCOMPARE(QFileInfo(own).size(), QFileInfo(installed).size() + 1);
    }
};

QTEST_GUILESS_MAIN(ShellRulesTest)
#include "tst_shellrules.moc"
