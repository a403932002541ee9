// Saving, clearing and deleting adjustments from the main window: what is
// stored, what the user is asked and told, and that Cancel changes nothing.

#include "adjustmentrecordfields.h"
#include "messagetable.h"
#include "recordcommands.h"
#include "recordschema.h"
#include "recordstore.h"
#include "scriptedprompts.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QTest>

using namespace tovin;
using tovin::test::ShownPrompt;

namespace {

ShownPrompt question(int number)
{
    return {ShownPrompt::Kind::Message, message(number), message(110), PromptIcon::Question, PromptButtons::OkCancel};
}

ShownPrompt information(int number, int title)
{
    return test::messageBox(message(number), message(title), PromptIcon::Information);
}

ShownPrompt notice(const QString &text)
{
    return {ShownPrompt::Kind::Notice, text, message(112), PromptIcon::None, PromptButtons::Ok};
}

const AdjustmentFieldValues kFields{"50", "60", "-5", "7", 4, -1, "A beach & <sun>"};

} // namespace

class RecordCommandsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    test::ScriptedPrompts m_prompts;
    std::unique_ptr<RecordStore> m_store;
    QString m_image;

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(test::installRecordList(m_folder->path()));
        m_prompts = {};
        m_store = std::make_unique<RecordStore>(m_folder->path(), m_prompts);
        QVERIFY(m_store->OpenRecordStore(QString::fromLatin1(kRecordListPath)));
        m_image = m_folder->filePath(QStringLiteral("photo.jpg"));
        QVERIFY(test::writeTestJpeg(m_image, QSize(64, 48)));
    }

    // A typed quality (-1) comes back as no selection.
    void saveAddsThenUpdates()
    {
        RecordCommands commands(*m_store, m_prompts);
        commands.saveAdjustments(m_image, QStringLiteral("2024-05-01 10:00"), kFields);
        commands.saveAdjustments(m_image, QStringLiteral("2024-05-01 10:00"), kFields);
        QCOMPARE(m_prompts.shown,
                 QList({notice(message(46) + "\n\n" + message(48)), notice(message(47) + "\n\n" + message(48))}));
        const std::optional<AdjustmentRecord> stored = commands.storedAdjustments(m_image);
        QVERIFY(stored);
        QCOMPARE(QSize(stored->imageWidth, stored->imageHeight), QSize(64, 48));
        QCOMPARE(stored->dateText, QStringLiteral("2024-05-01 10:00"));
        QCOMPARE(fieldsFromRecord(*stored), kFields);
    }

    void failedSaveShowsTheNoteAlone()
    {
        RecordCommands commands(*m_store, m_prompts);
        AdjustmentFieldValues fields = kFields;
        fields.widthPercent = QStringLiteral("99999"); // beyond a 16-bit whole number
        commands.saveAdjustments(m_image, QString(), fields);
        QCOMPARE(m_prompts.shown.size(), 2);
        QCOMPARE(m_prompts.shown.at(0).icon, PromptIcon::Critical);
        QCOMPARE(m_prompts.shown.at(1), notice(message(48)));
        QVERIFY(!commands.storedAdjustments(m_image));
    }

    void deletions_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<bool>("recordBefore");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QList<ShownPrompt>>("shown");
        QTest::newRow("clear a record") << false << true << true << QList{question(52), information(54, 110)};
        QTest::newRow("clear nothing") << false << false << true << QList{question(52), information(53, 110)};
        QTest::newRow("clear cancelled") << false << true << false << QList{question(52)};
        QTest::newRow("delete all") << true << true << true << QList{question(49), information(50, 112)};
        QTest::newRow("delete all, empty") << true << false << true << QList{question(49), information(51, 112)};
        QTest::newRow("delete all cancelled") << true << true << false << QList{question(49)};
    }

    // Cancel keeps the record; an answered question removes it.
    void deletions()
    {
        QFETCH(bool, all);
        QFETCH(bool, recordBefore);
        QFETCH(bool, confirm);
        QFETCH(QList<ShownPrompt>, shown);
        RecordCommands commands(*m_store, m_prompts);
        if (recordBefore)
            commands.saveAdjustments(m_image, QString(), kFields);
        m_prompts = {};
        m_prompts.messageAnswers = {confirm ? PromptAnswer::Ok : PromptAnswer::Cancel};
        if (all)
            commands.clearAllAdjustments();
        else
            commands.clearAdjustments(m_image);
        QCOMPARE(m_prompts.shown, shown);
        QCOMPARE(commands.storedAdjustments(m_image).has_value(), recordBefore && !confirm);
    }
};

QTEST_GUILESS_MAIN(RecordCommandsTest)
#include "tst_recordcommands.moc"
