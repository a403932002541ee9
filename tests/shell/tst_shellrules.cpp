// The shell's rules and commands apart from any window.

#include "adjustmentrecordfields.h"
#include "capturedate.h"
#include "listdatereading.h"
#include "listkeys.h"
#include "listsorting.h"
#include "mainsettings.h"
#include "messagetable.h"
#include "networkpath.h"
#include "programversion.h"
#include "recordcommands.h"
#include "recordschema.h"
#include "recordstore.h"
#include "scriptedprompts.h"
#include "settingsstore.h"
#include "testenvironment.h"
#include "testimages.h"
#include "writablefolders.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

using namespace tovin;
using Kind = test::ShownPrompt::Kind;

namespace {

const AdjustmentFieldValues kFields{"50", "60", "-5", "7", 4, -1, "A beach & <sun>"};

struct RecordFixture {
    QTemporaryDir folder;
    test::ScriptedPrompts prompts;
    RecordStore store{folder.path(), prompts};
    RecordCommands commands{store, prompts};
    QString image = folder.filePath(QStringLiteral("photo.jpg"));
    bool ready = test::installRecordList(folder.path()) && store.OpenRecordStore(QString::fromLatin1(kRecordListPath))
        && test::writeTestJpeg(image, QSize(64, 48));
};

} // namespace

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
            bool moved = false;
        };
        const std::optional<ListEntryKind> none, up = ListEntryKind::Up, folder = ListEntryKind::Folder,
                                                 image = ListEntryKind::Image;
        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
        for (const Row &row : {
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
                 Row{Qt::Key_Home, 0, image, ListKeyAction::OpenImage, true},
                 Row{Qt::Key_PageDown, shift, image, ListKeyAction::OpenImage},
                 Row{Qt::Key_End, 0, up, ListKeyAction::Nothing, true},
                 Row{Qt::Key_B, 0, image, ListKeyAction::OpenImage, true},
                 Row{Qt::Key_R, 0, image, ListKeyAction::OpenImage, true},
                 Row{Qt::Key_B, 0, image, ListKeyAction::Nothing},
                 Row{Qt::Key_B, 0, folder, ListKeyAction::Nothing, true},
             })
            QCOMPARE(listKeyAction(row.key, Qt::KeyboardModifiers(row.modifiers), row.selected, row.moved), row.action);
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
        const QList<std::pair<QString, int>> rows{{"4", 4},       {"-1", -1},   {"5", 0},  {"-2", 0},
                                                  {"Bicubic", 0}, {"65539", 0}, {" 3 ", 3}};
        for (const auto &[stored, position] : rows)
            QCOMPARE(listPositionFromSetting(stored, 5), position);
    }

    // Stored as typed, even what the fields would refuse.
    void mainSettings()
    {
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
        for (const QString path : {"\\\\server\\share", "//host/share", "smb://host/share"})
            QVERIFY2(isNetworkPath(path), qPrintable(path));
        for (const QString path : {"/home/u/Photos", "/home/u/a:b", "Photos"})
            QVERIFY2(!isNetworkPath(path), qPrintable(path));
    }

    void versionText() { QCOMPARE(tovin::versionText(1, 4, 109), QStringLiteral("Version 1.4.109")); }

    void writableFolders()
    {
        const WritableFolders own = chooseWritableFolders("/build/bin", true, "/u/share/T", "/u/cache/T");
        const WritableFolders user = chooseWritableFolders("/build/bin", false, "/u/share/T", "/u/cache/T");
        QCOMPARE(QStringList({own.records, own.work, user.records, user.work}),
                 QStringList({"/build/bin", "/build/bin", "/u/share/T", "/u/cache/T"}));
    }

    // A typed quality (-1) comes back as no selection; a refused save shows
    // the reminder alone and leaves the record as it was.
    void saveAdjustments()
    {
        const auto notice = [](const QString &text) {
            return test::ShownPrompt{Kind::Notice, text, message(112), PromptIcon::None, PromptButtons::Ok};
        };
        RecordFixture f;
        QVERIFY(f.ready);
        f.commands.saveAdjustments(f.image, QStringLiteral("2024-05-01 10:00"), kFields);
        f.commands.saveAdjustments(f.image, QStringLiteral("2024-05-01 10:00"), kFields);
        AdjustmentFieldValues refused = kFields;
        refused.widthPercent = QStringLiteral("99999"); // beyond a 16-bit whole number
        f.commands.saveAdjustments(f.image, QString(), refused);
        QCOMPARE(f.prompts.shown.size(), 4);
        QCOMPARE(f.prompts.shown.mid(0, 2),
                 QList({notice(message(46) + "\n\n" + message(48)), notice(message(47) + "\n\n" + message(48))}));
        QCOMPARE(f.prompts.shown.at(2).icon, PromptIcon::Critical);
        QCOMPARE(f.prompts.shown.at(3), notice(message(48)));
        const std::optional<AdjustmentRecord> stored = f.commands.storedAdjustments(f.image);
        QVERIFY(stored);
        QCOMPARE(QSize(stored->imageWidth, stored->imageHeight), QSize(64, 48));
        QCOMPARE(stored->dateText, QStringLiteral("2024-05-01 10:00"));
        QCOMPARE(fieldsFromRecord(*stored), kFields);
    }

    // The list's dates come from workers; a newer reading drops the older
    // one. A save before the list has read an image's date takes the photo's
    // capture date all the same.
    void datesTheListHasNotReadYet()
    {
        RecordFixture f;
        QVERIFY(f.ready);
        const QString taken = f.folder.filePath(QStringLiteral("taken.jpg"));
        QVERIFY(test::writeTaggedPhotos({{taken, {QStringLiteral("DateTimeOriginal=2019:07:14 09:30:05")}}}));
        const QString takenText = listDateText(QDateTime(QDate(2019, 7, 14), QTime(9, 30, 5), Qt::UTC));

        ListDateReading reading;
        QSignalSpy finished(&reading, &ListDateReading::finished);
        reading.start({f.image});
        reading.start({taken, f.image, f.folder.filePath(QStringLiteral("gone.jpg"))});
        QVERIFY(reading.isReading());
        QVERIFY(finished.wait());
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!reading.isReading());
        QCOMPARE(reading.dateText(taken), takenText);
        QCOMPARE(reading.dateText(f.image), imageDateText(f.image));
        reading.start({taken});
        reading.stop();
        QVERIFY(reading.dateText(taken).isEmpty());

        f.commands.saveAdjustments(taken, QString(), kFields);
        QCOMPARE(f.commands.storedAdjustments(taken)->dateText, takenText);
    }

    // Asked first: Cancel keeps the record; OK removes it and tells whether
    // there was one.
    void clearAdjustments()
    {
        const auto question = [](int number) {
            return test::ShownPrompt{Kind::Message, message(number), message(110), PromptIcon::Question,
                                     PromptButtons::OkCancel};
        };
        const auto told = [](int number, int title) {
            return test::messageBox(message(number), message(title), PromptIcon::Information);
        };
        struct Row {
            bool all, recordBefore, confirm;
            QList<test::ShownPrompt> shown;
        };
        for (const Row &row :
             {Row{false, true, true, {question(52), told(54, 110)}},
              Row{false, false, true, {question(52), told(53, 110)}}, Row{false, true, false, {question(52)}},
              Row{true, true, true, {question(49), told(50, 112)}},
              Row{true, false, true, {question(49), told(51, 112)}}, Row{true, true, false, {question(49)}}}) {
            RecordFixture f;
            QVERIFY(f.ready);
            if (row.recordBefore)
                f.commands.saveAdjustments(f.image, QString(), kFields);
            f.prompts = {};
            f.prompts.messageAnswers = {row.confirm ? PromptAnswer::Ok : PromptAnswer::Cancel};
            if (row.all)
                f.commands.clearAllAdjustments();
            else
                f.commands.clearAdjustments(f.image);
            QCOMPARE(f.prompts.shown, row.shown);
            QCOMPARE(f.commands.storedAdjustments(f.image).has_value(), row.recordBefore && !row.confirm);
        }
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
