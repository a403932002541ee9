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

Q_DECLARE_METATYPE(ListKeyAction)
Q_DECLARE_METATYPE(std::optional<ListEntryKind>)

class ShellRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listKeys_data();
    void listKeys();
    void headerSort_data();
    void headerSort();
    void listPositions_data();
    void listPositions();
    void firstRunDefaults();
    void settingsRoundTripVerbatim_data();
    void settingsRoundTripVerbatim();
    void networkPaths_data();
    void networkPaths();
    void versionText();
    void writableFolders();
    void recordListSeededOnce();

private:
    QTemporaryDir m_settingsFolder;
};

void ShellRulesTest::initTestCase()
{
    test::useTemporarySettings(m_settingsFolder);
}

void ShellRulesTest::listKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<std::optional<ListEntryKind>>("selected");
    QTest::addColumn<ListKeyAction>("action");
    const std::optional<ListEntryKind> none;
    const std::optional<ListEntryKind> up = ListEntryKind::Up, folder = ListEntryKind::Folder,
                                       image = ListEntryKind::Image;
    const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier;
    QTest::newRow("down on image") << int(Qt::Key_Down) << 0 << image << ListKeyAction::OpenImage;
    QTest::newRow("shift+up on image") << int(Qt::Key_Up) << shift << image << ListKeyAction::OpenImage;
    QTest::newRow("down on folder") << int(Qt::Key_Down) << 0 << folder << ListKeyAction::Nothing;
    QTest::newRow("enter on image") << int(Qt::Key_Return) << 0 << image << ListKeyAction::OpenImage;
    QTest::newRow("keypad enter on folder")
        << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << folder << ListKeyAction::EnterFolder;
    QTest::newRow("ctrl+space on up entry") << int(Qt::Key_Space) << ctrl << up << ListKeyAction::EnterFolder;
    QTest::newRow("enter, nothing selected") << int(Qt::Key_Return) << 0 << none << ListKeyAction::Nothing;
    QTest::newRow("ctrl+R on image") << int(Qt::Key_R) << ctrl << image << ListKeyAction::DeleteImageRecord;
    QTest::newRow("ctrl+shift+R on image")
        << int(Qt::Key_R) << (ctrl | shift) << image << ListKeyAction::DeleteAllRecords;
    QTest::newRow("ctrl+shift+R on folder") << int(Qt::Key_R) << (ctrl | shift) << folder << ListKeyAction::Nothing;
    QTest::newRow("ctrl+alt+R") << int(Qt::Key_R) << (ctrl | alt) << image << ListKeyAction::Nothing;
    QTest::newRow("backspace, nothing selected") << int(Qt::Key_Backspace) << 0 << none << ListKeyAction::GoUp;
}

void ShellRulesTest::listKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(std::optional<ListEntryKind>, selected);
    QFETCH(ListKeyAction, action);
    QCOMPARE(listKeyAction(key, Qt::KeyboardModifiers(modifiers), selected), action);
}

namespace {

QList<ListEntry> sampleEntries()
{
    return {
        {ListEntryKind::Up, QStringLiteral("/p/"), QStringLiteral(". . . ."), {}, {}},
        {ListEntryKind::Folder, QStringLiteral("/p/b"), QStringLiteral("b"), {}, {}},
        {ListEntryKind::Image, QStringLiteral("/p/A.jpg"), QStringLiteral("A.jpg"), QStringLiteral("2/1/24"),
         QStringLiteral("10KB")},
        {ListEntryKind::Image, QStringLiteral("/p/c.jpg"), QStringLiteral("c.jpg"), QStringLiteral("1/1/24"),
         QStringLiteral("9KB")},
    };
}

QStringList namesOf(const QList<ListEntry> &entries)
{
    QStringList names;
    for (const ListEntry &entry : entries)
        names << entry.name;
    return names;
}

} // namespace

void ShellRulesTest::headerSort_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("order");
    // Texts compare as texts: "10KB" before "9KB"; empty texts first.
    QTest::newRow("no click: as listed") << QList<int>{} << QStringList{". . . .", "b", "A.jpg", "c.jpg"};
    QTest::newRow("first click: name descending") << QList<int>{0} << QStringList{"c.jpg", "b", "A.jpg", ". . . ."};
    QTest::newRow("second click: ascending") << QList<int>{0, 0} << QStringList{". . . .", "A.jpg", "b", "c.jpg"};
    QTest::newRow("direction shared across columns")
        << QList<int>{0, 2} << QStringList{". . . .", "b", "A.jpg", "c.jpg"};
    QTest::newRow("date descending") << QList<int>{1} << QStringList{"A.jpg", "c.jpg", ". . . .", "b"};
}

void ShellRulesTest::headerSort()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, order);
    ListSort sort;
    for (int column : clicks)
        sort.click(column);
    QList<ListEntry> entries = sampleEntries();
    sort.apply(entries);
    QCOMPARE(namesOf(entries), order);
}

void ShellRulesTest::listPositions_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("position");
    QTest::newRow("last") << "4" << 4;
    QTest::newRow("none selected") << "-1" << -1;
    QTest::newRow("past the end") << "5" << 0;
    QTest::newRow("below -1") << "-2" << 0;
    QTest::newRow("not a number") << "Bicubic" << 0;
    QTest::newRow("beyond 16 bits") << "65539" << 0;
    QTest::newRow("blanks around") << " 3 " << 3;
}

void ShellRulesTest::listPositions()
{
    QFETCH(QString, stored);
    QFETCH(int, position);
    QCOMPARE(listPositionFromSetting(stored, 5), position);
}

void ShellRulesTest::firstRunDefaults()
{
    const SettingsStore store(QStringLiteral("firstRun"));
    const MainSettings expected{"/opt/tovin", "100", "100", "0", "0", "0", "0"};
    QCOMPARE(readMainSettings(store, QStringLiteral("/opt/tovin")), expected);
}

void ShellRulesTest::settingsRoundTripVerbatim_data()
{
    QTest::addColumn<MainSettings>("settings");
    // Stored as typed, even when the fields would refuse them.
    QTest::newRow("invalid texts") << MainSettings{"  /a b/  ", "abc", "", "-999", "1,5", "-1", "-1"};
    QTest::newRow("separators and quotes") << MainSettings{"C:\\x\\y", "=1", ";2", "#3", "\"4\"", "0", "0"};
}

void ShellRulesTest::settingsRoundTripVerbatim()
{
    QFETCH(MainSettings, settings);
    {
        SettingsStore store(QString::fromLatin1(QTest::currentDataTag()));
        writeMainSettings(store, settings);
    }
    const SettingsStore reopened(QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(readMainSettings(reopened, QStringLiteral("/unused")), settings);
}

void ShellRulesTest::networkPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("network");
    QTest::newRow("unc") << "\\\\server\\share" << true;
    QTest::newRow("double slash") << "//host/share" << true;
    QTest::newRow("smb url") << "smb://host/share" << true;
    QTest::newRow("local") << "/home/u/Photos" << false;
    QTest::newRow("colon in a name") << "/home/u/a:b" << false;
    QTest::newRow("relative") << "Photos" << false;
}

void ShellRulesTest::networkPaths()
{
    QFETCH(QString, path);
    QFETCH(bool, network);
    QCOMPARE(isNetworkPath(path), network);
}

void ShellRulesTest::versionText()
{
    QCOMPARE(tovin::versionText(1, 4, 109), QStringLiteral("Version 1.4.109"));
    QVERIFY(programVersionText().startsWith(QStringLiteral("Version ")));
}

void ShellRulesTest::writableFolders()
{
    const WritableFolders beside =
        chooseWritableFolders("/build/bin", true, "/home/u/.local/share/T", "/home/u/.cache/T");
    QCOMPARE(beside.records, QStringLiteral("/build/bin"));
    QCOMPARE(beside.work, QStringLiteral("/build/bin"));
    const WritableFolders installed =
        chooseWritableFolders("/usr/lib/tovin", false, "/home/u/.local/share/T", "/home/u/.cache/T");
    QCOMPARE(installed.records, QStringLiteral("/home/u/.local/share/T"));
    QCOMPARE(installed.work, QStringLiteral("/home/u/.cache/T"));
}

void ShellRulesTest::recordListSeededOnce()
{
    QTemporaryDir program, user;
    QVERIFY(test::installRecordList(program.path()));
    const QString installed = program.path() + QString::fromLatin1(kRecordListPath);
    QVERIFY(QFile::setPermissions(installed, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QString own = user.filePath(QStringLiteral("data")) + QString::fromLatin1(kRecordListPath);

    QVERIFY(seedRecordList(program.path(), user.filePath(QStringLiteral("data"))));
    QCOMPARE(QFileInfo(own).size(), QFileInfo(installed).size());
    QVERIFY(QFileInfo(own).permissions() & QFile::WriteOwner);

    // The user's copy holds the user's records: a later start keeps it.
    QFile changed(own);
    QVERIFY(changed.open(QIODevice::Append));
    changed.write("x");
    changed.close();
    QVERIFY(seedRecordList(program.path(), user.filePath(QStringLiteral("data"))));
    QCOMPARE(QFileInfo(own).size(), QFileInfo(installed).size() + 1);
}

QTEST_GUILESS_MAIN(ShellRulesTest)
#include "tst_shellrules.moc"
