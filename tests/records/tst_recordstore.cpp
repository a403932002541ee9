// The Record List on a real encrypted file: results, matching, failures.

#include "recordschema.h"
#include "recordstore.h"
#include "scriptedprompts.h"
#include "testenvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlcipher/sqlite3.h>

#include <memory>

using namespace tovin;
using tovin::test::ScriptedPrompts;

namespace {

const QString kTable = QString::fromLatin1(kRecordTable);
const QString kKey = QString::fromLatin1(kRecordKeyField);
const QString kPath = QString::fromLatin1(kRecordListPath);

QVariantList rowValues(const QString &path, int widthPercent = 50, const QString &description = {})
{
    return {path,        4000, 3000, widthPercent, 60, -10, 20, 3, -1, QStringLiteral("05/12/2026 14:03:11"),
            description, true};
}

// Writes straight into a database file, bypassing the store: for files the
// program itself would never make.
bool execute(const QString &file, const QByteArray &key, const QByteArray &sql)
{
    sqlite3 *db = nullptr;
    bool ok =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        == SQLITE_OK;
    if (ok && !key.isEmpty())
        ok = sqlite3_key(db, key.constData(), int(key.size())) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

class RecordStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveAddsThenUpdates();
    void matchesRegardlessOfCaseAndBlanks_data();
    void matchesRegardlessOfCaseAndBlanks();
    void updateKeepsLetterCaseOfFirstSave();
    void getRecordReturnsThirteenTexts();
    void missingRowGivesEmptyTexts();
    void deleteOneAndAll();
    void valueThatDoesNotFitIsRefused_data();
    void valueThatDoesNotFitIsRefused();
    void deleteAllRefusesMoreRowsThanItCanCount();
    void openFailures_data();
    void openFailures();
    void closedStoreReportsInsteadOfCrashing();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<RecordStore> m_store;
    QString databaseFile() const { return m_folder->path() + kPath; }
};

void RecordStoreTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(test::installRecordList(m_folder->path()));
    m_prompts = ScriptedPrompts();
    m_store = std::make_unique<RecordStore>(m_folder->path(), m_prompts);
    QVERIFY(m_store->OpenRecordStore(kPath));
}

void RecordStoreTest::cleanup()
{
    QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
    m_store.reset();
    m_folder.reset();
}

void RecordStoreTest::saveAddsThenUpdates()
{
    const QString path = QStringLiteral("/photos/a.jpg");
    QCOMPARE(m_store->SaveRecord(path, rowValues(path, 50), kKey, kTable), RecordResult::Done);
    QCOMPARE(m_store->SaveRecord(path, rowValues(path, 75), kKey, kTable), RecordResult::Other);
    QCOMPARE(m_store->GetRecord(path, kKey, kTable).at(kWidthPct), QStringLiteral("75"));
    // One row only: deleting it once leaves nothing to delete.
    QCOMPARE(m_store->DeleteRecords(false, path, kKey, kTable), RecordResult::Done);
    QCOMPARE(m_store->DeleteRecords(false, path, kKey, kTable), RecordResult::Other);
}

void RecordStoreTest::matchesRegardlessOfCaseAndBlanks_data()
{
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("found");
    QTest::newRow("ASCII letter case") << "/Photos/A.jpg"
                                       << "/photos/a.JPG" << true;
    QTest::newRow("umlaut") << QString::fromUtf8("/fotos/Ä.jpg") << QString::fromUtf8("/fotos/ä.jpg") << true;
    QTest::newRow("accents") << QString::fromUtf8("/été/ÉCOLE.jpg") << QString::fromUtf8("/ÉTÉ/école.jpg") << true;
    QTest::newRow("greek") << QString::fromUtf8("/Σ/ΑΒΓ.jpg") << QString::fromUtf8("/σ/αβγ.jpg") << true;
    QTest::newRow("blanks around") << "/photos/a.jpg"
                                   << "  /photos/a.jpg  " << true;
    QTest::newRow("single quote") << "/photos/o'neil.jpg"
                                  << "/photos/O'Neil.jpg" << true;
    QTest::newRow("double quote") << "/photos/\"x\".jpg"
                                  << "/photos/\"X\".jpg" << true;
    QTest::newRow("wildcards are plain characters") << "/photos/a_b%.jpg"
                                                    << "/photos/axbyz.jpg" << false;
    QTest::newRow("other extension") << "/photos/a.jpg"
                                     << "/photos/a.jpeg" << false;
    QTest::newRow("blank inside counts") << "/photos/a b.jpg"
                                         << "/photos/ab.jpg" << false;
}

void RecordStoreTest::matchesRegardlessOfCaseAndBlanks()
{
    QFETCH(QString, saved);
    QFETCH(QString, asked);
    QFETCH(bool, found);
    QCOMPARE(m_store->SaveRecord(saved, rowValues(saved), kKey, kTable), RecordResult::Done);
    QCOMPARE(m_store->RecordExists(asked, kKey, kTable), found);
    QCOMPARE(m_store->GetRecord(asked, kKey, kTable).at(kImgPath), found ? saved : QString());
    QCOMPARE(m_store->SaveRecord(asked, rowValues(asked), kKey, kTable),
             found ? RecordResult::Other : RecordResult::Done);
}

void RecordStoreTest::updateKeepsLetterCaseOfFirstSave()
{
    const QString first = QStringLiteral("/Photos/A.jpg");
    const QString second = QStringLiteral("/photos/a.jpg");
    m_store->SaveRecord(first, rowValues(first, 50), kKey, kTable);
    QCOMPARE(m_store->SaveRecord(second, rowValues(second, 80), kKey, kTable), RecordResult::Other);
    const QStringList record = m_store->GetRecord(second, kKey, kTable);
    QCOMPARE(record.at(kImgPath), first);
    QCOMPARE(record.at(kWidthPct), QStringLiteral("80"));
}

void RecordStoreTest::getRecordReturnsThirteenTexts()
{
    const QString path = QStringLiteral("/photos/a.jpg");
    const QString description = QStringLiteral("Tom & Jerry <b>\n]]> 'quoted'");
    m_store->SaveRecord(path, rowValues(path, 50, description), kKey, kTable);
    const QStringList record = m_store->GetRecord(path, kKey, kTable);
    QCOMPARE(record.size(), 13);
    QVERIFY(record.at(kRecId).toInt() > 0);
    const QStringList rest = record.mid(1);
    QCOMPARE(rest,
             (QStringList{path, "4000", "3000", "50", "60", "-10", "20", "3", "-1", "05/12/2026 14:03:11", description,
                          "1"}));
}

void RecordStoreTest::missingRowGivesEmptyTexts()
{
    QVERIFY(!m_store->RecordExists(QStringLiteral("/nowhere.jpg"), kKey, kTable));
    QCOMPARE(m_store->GetRecord(QStringLiteral("/nowhere.jpg"), kKey, kTable), QStringList(13, QString()));
}

void RecordStoreTest::deleteOneAndAll()
{
    QCOMPARE(m_store->DeleteRecords(true, QStringLiteral("dummy"), kKey, kTable), RecordResult::Other);
    for (const QString &path : {QStringLiteral("/a.jpg"), QStringLiteral("/b.jpg"), QStringLiteral("/c.jpg")})
        m_store->SaveRecord(path, rowValues(path), kKey, kTable);
    QCOMPARE(m_store->DeleteRecords(false, QStringLiteral("/B.JPG"), kKey, kTable), RecordResult::Done);
    QVERIFY(m_store->RecordExists(QStringLiteral("/a.jpg"), kKey, kTable));
    QVERIFY(!m_store->RecordExists(QStringLiteral("/b.jpg"), kKey, kTable));
    QCOMPARE(m_store->DeleteRecords(true, QStringLiteral("dummy"), kKey, kTable), RecordResult::Done);
    QVERIFY(!m_store->RecordExists(QStringLiteral("/a.jpg"), kKey, kTable));
    QVERIFY(!m_store->RecordExists(QStringLiteral("/c.jpg"), kKey, kTable));
    QCOMPARE(m_store->DeleteRecords(true, QStringLiteral("dummy"), kKey, kTable), RecordResult::Other);
}

void RecordStoreTest::valueThatDoesNotFitIsRefused_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("report");
    QTest::newRow("percent beyond 16 bits") << int(kWidthPct) << QVariant(40000) << "Error! (# 6): Overflow";
    QTest::newRow("percent as words") << int(kHeightPct) << QVariant(QStringLiteral("fifty"))
                                      << "Error! (# 13): Type mismatch";
    QTest::newRow("width beyond 32 bits") << int(kImgWidth) << QVariant(5e9) << "Error! (# 6): Overflow";
    QTest::newRow("no path") << int(kImgPath) << QVariant() << "Error! (# 94): Invalid use of Null";
}

void RecordStoreTest::valueThatDoesNotFitIsRefused()
{
    QFETCH(int, position);
    QFETCH(QVariant, value);
    QFETCH(QString, report);
    const QString path = QStringLiteral("/photos/a.jpg");
    QVariantList values = rowValues(path);
    values[position - 1] = value;
    QCOMPARE(m_store->SaveRecord(path, values, kKey, kTable), RecordResult::Failed);
    QCOMPARE(m_prompts.shown.size(), 1);
    QCOMPARE(m_prompts.shown.first().text, report);
    QCOMPARE(m_prompts.shown.first().icon, PromptIcon::Critical);
    m_prompts.shown.clear();
    QVERIFY(!m_store->RecordExists(path, kKey, kTable));
}

void RecordStoreTest::deleteAllRefusesMoreRowsThanItCanCount()
{
    m_store->CloseRecordStore();
    QVERIFY(execute(databaseFile(), kRecordListKey,
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32768) "
                    "INSERT INTO tovin_table (img_path, img_width, img_height, width_pct, height_pct, bright, "
                    "contrast, filter_idx, quality_idx, img_date, img_desc, adjusted) "
                    "SELECT '/p/' || i || '.jpg', 1, 1, 100, 100, 0, 0, 0, 0, '', '', 1 FROM n"));
    QVERIFY(m_store->OpenRecordStore(kPath));
    QCOMPARE(m_store->DeleteRecords(true, QStringLiteral("dummy"), kKey, kTable), RecordResult::Failed);
    QCOMPARE(m_prompts.shown.size(), 1);
    QCOMPARE(m_prompts.shown.first().text, QStringLiteral("Error! (# 6): Overflow"));
    m_prompts.shown.clear();
    QVERIFY(m_store->RecordExists(QStringLiteral("/p/32768.jpg"), kKey, kTable));
}

void RecordStoreTest::openFailures_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("otherKey");
    QTest::addColumn<QString>("title");
    QTest::newRow("no file") << QByteArray() << QByteArray() << QString();
    QTest::newRow("not a database") << QByteArray("just some text, not a database file\n") << QByteArray()
                                    << "Error! #26";
    QTest::newRow("another key") << QByteArray() << QByteArray("wrong key") << "Error! #26";
    QTest::newRow("plain unencrypted file") << QByteArray() << QByteArray("-") << "Error! #26";
}

void RecordStoreTest::openFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, otherKey);
    QFETCH(QString, title);
    m_store->CloseRecordStore();
    QVERIFY(QFile::remove(databaseFile()));
    if (!content.isEmpty()) {
        QFile file(databaseFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    } else if (!otherKey.isEmpty()) {
        QVERIFY(execute(databaseFile(), otherKey == "-" ? QByteArray() : otherKey, "CREATE TABLE t (x)"));
    }

    QVERIFY(!m_store->OpenRecordStore(kPath));
    if (title.isEmpty()) {
        QVERIFY(m_prompts.shown.isEmpty());
        QVERIFY2(!QFile::exists(databaseFile()), "a missing Record List must never be created");
        return;
    }
    QCOMPARE(m_prompts.shown.size(), 1);
    QCOMPARE(m_prompts.shown.first().title, title);
    QCOMPARE(m_prompts.shown.first().icon, PromptIcon::Critical);
    m_prompts.shown.clear();
}

void RecordStoreTest::closedStoreReportsInsteadOfCrashing()
{
    m_store->CloseRecordStore();
    QVERIFY(!m_store->RecordExists(QStringLiteral("/a.jpg"), kKey, kTable));
    QCOMPARE(m_store->SaveRecord(QStringLiteral("/a.jpg"), rowValues(QStringLiteral("/a.jpg")), kKey, kTable),
             RecordResult::Failed);
    QCOMPARE(m_store->GetRecord(QStringLiteral("/a.jpg"), kKey, kTable).size(), 13);
    QCOMPARE(m_prompts.ofKind(test::ShownPrompt::Kind::Message).size(), 3);
    m_prompts.shown.clear();
}

QTEST_GUILESS_MAIN(RecordStoreTest)
#include "tst_recordstore.moc"
