// The Record List on a real encrypted file: results, matching, failures.

#include "adjustmentrecord.h"
#include "recordschema.h"
#include "recordstore.h"
#include "runtimeerror.h"
#include "scriptedprompts.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlcipher/sqlite3.h>

#include <chrono>
#include <memory>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

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

// Opens the file as another program would; null when that fails.
sqlite3 *openDirectly(const QString &file)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
        || sqlite3_key(db, kRecordListKey, int(sizeof kRecordListKey - 1)) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

// Every row of the table, duplicates included.
int rowCount(const QString &file)
{
    sqlite3 *db = openDirectly(file);
    sqlite3_stmt *count = nullptr;
    int rows = -1;
    if (db && sqlite3_prepare_v2(db, "SELECT count(*) FROM tovin_table", -1, &count, nullptr) == SQLITE_OK
        && sqlite3_step(count) == SQLITE_ROW)
        rows = sqlite3_column_int(count, 0);
    sqlite3_finalize(count);
    sqlite3_close(db);
    return rows;
}

const char kInsertRow[] = "INSERT INTO tovin_table (img_path, img_width, img_height, width_pct, height_pct, bright, "
                          "contrast, filter_idx, quality_idx, img_date, img_desc, adjusted) ";

auto fieldsOf(const AdjustmentRecord &r)
{
    return std::tuple(r.imagePath, r.imageWidth, r.imageHeight, r.widthPercent, r.heightPercent, r.brightness,
                      r.contrast, r.filterPosition, r.qualityPosition, r.dateText, r.description);
}

} // namespace

class RecordStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(test::installRecordList(m_folder->path()));
        m_prompts = ScriptedPrompts();
        m_store = std::make_unique<RecordStore>(m_folder->path(), m_prompts);
        QVERIFY(m_store->OpenRecordStore(kPath));
    }

    void cleanup()
    {
        QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
        m_store.reset();
        m_folder.reset();
    }

    void saveGetAndDelete()
    {
        const QString first = QStringLiteral("/Photos/A.jpg");
        const QString second = QStringLiteral("/photos/a.jpg");
        const QString description = QStringLiteral("Tom & Jerry <b>\n]]> 'quoted'");
        QVERIFY(!exists(first));
        QCOMPARE(get(first), QStringList(13, QString()));
        QCOMPARE(save(first, rowValues(first, 50, description)), RecordResult::Done);
        // An update keeps the letter case of the first save.
        QCOMPARE(save(second, rowValues(second, 80, description)), RecordResult::Other);
        const QStringList record = get(second);
        QVERIFY(record.at(kRecId).toInt() > 0);
        QCOMPARE(record.mid(1),
                 (QStringList{first, "4000", "3000", "80", "60", "-10", "20", "3", "-1", "05/12/2026 14:03:11",
                              description, "1"}));

        for (const QString &path : {QStringLiteral("/b.jpg"), QStringLiteral("/c.jpg")})
            save(path);
        QCOMPARE(remove(false, QStringLiteral("/B.JPG")), RecordResult::Done);
        QCOMPARE(remove(false, QStringLiteral("/b.jpg")), RecordResult::Other);
        QVERIFY(exists(first));
        QCOMPARE(remove(true, QStringLiteral("dummy")), RecordResult::Done);
        QVERIFY(!exists(first));
        QVERIFY(!exists(QStringLiteral("/c.jpg")));
        QCOMPARE(remove(true, QStringLiteral("dummy")), RecordResult::Other);
    }

    // clang-format off
    void matchesRegardlessOfCaseAndBlanks_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("found");
        QTest::newRow("ASCII letter case") << "/Photos/A.jpg" << "/photos/a.JPG" << true;
        QTest::newRow("umlaut") << QString::fromUtf8("/fotos/Ä.jpg") << QString::fromUtf8("/fotos/ä.jpg") << true;
        QTest::newRow("accents") << QString::fromUtf8("/été/ÉCOLE.jpg") << QString::fromUtf8("/ÉTÉ/école.jpg") << true;
        QTest::newRow("blanks around") << "/photos/a.jpg" << "  /photos/a.jpg  " << true;
        QTest::newRow("single quote") << "/photos/o'neil.jpg" << "/photos/O'Neil.jpg" << true;
        QTest::newRow("wildcards are plain characters") << "/photos/a_b%.jpg" << "/photos/axbyz.jpg" << false;
        QTest::newRow("other extension") << "/photos/a.jpg" << "/photos/a.jpeg" << false;
    }
    // clang-format on

    void matchesRegardlessOfCaseAndBlanks()
    {
        QFETCH(QString, saved);
        QFETCH(QString, asked);
        QFETCH(bool, found);
        QCOMPARE(save(saved), RecordResult::Done);
        QCOMPARE(exists(asked), found);
        QCOMPARE(get(asked).at(kImgPath), found ? saved : QString());
        QCOMPARE(save(asked), found ? RecordResult::Other : RecordResult::Done);
    }

    // clang-format off
    void valueThatDoesNotFitIsRefused_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("report");
        QTest::newRow("percent beyond 16 bits") << int(kWidthPct) << QVariant(40000) << 6 << "Overflow";
        QTest::newRow("percent as words") << int(kHeightPct) << QVariant(QStringLiteral("fifty")) << 13 << "Type mismatch";
        QTest::newRow("width beyond 32 bits") << int(kImgWidth) << QVariant(5e9) << 6 << "Overflow";
        QTest::newRow("no path") << int(kImgPath) << QVariant() << 94 << "Invalid use of Null";
    }
    // clang-format on

    void valueThatDoesNotFitIsRefused()
    {
        QFETCH(int, position);
        QFETCH(QVariant, value);
        QFETCH(int, error);
        QFETCH(QString, report);
        const QString path = QStringLiteral("/photos/a.jpg");
        QVariantList values = rowValues(path);
        values[position - 1] = value;
        QCOMPARE(save(path, values), RecordResult::Failed);
        QCOMPARE(takeShown(),
                 QList{test::messageBox(QStringLiteral("Error! (# %1): %2").arg(error).arg(report),
                                        QStringLiteral("Error! #%1").arg(error), PromptIcon::Critical)});
        QVERIFY(!exists(path));
    }

    void deleteAllRefusesMoreRowsThanItCanCount()
    {
        m_store->CloseRecordStore();
        QVERIFY(execute(databaseFile(), kRecordListKey,
                        QByteArray("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32768) ")
                            + kInsertRow
                            + "SELECT '/p/' || i || '.jpg', 1, 1, 100, 100, 0, 0, 0, 0, '', '', 1 FROM n"));
        QVERIFY(m_store->OpenRecordStore(kPath));
        QCOMPARE(remove(true, QStringLiteral("dummy")), RecordResult::Failed);
        QCOMPARE(takeShown(),
                 QList{test::messageBox(QStringLiteral("Error! (# 6): Overflow"), QStringLiteral("Error! #6"),
                                        PromptIcon::Critical)});
        QVERIFY(exists(QStringLiteral("/p/32768.jpg")));
    }

    // clang-format off
    void openFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("otherKey");
        QTest::addColumn<QString>("title");
        QTest::newRow("no file") << QByteArray() << QByteArray() << QString();
        QTest::newRow("not a database") << QByteArray("just some text, not a database file\n") << QByteArray() << "Error! #26";
        QTest::newRow("another key") << QByteArray() << QByteArray("wrong key") << "Error! #26";
        QTest::newRow("plain unencrypted file") << QByteArray() << QByteArray("-") << "Error! #26";
    }
    // clang-format on

    void openFailures()
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
        QVERIFY2(!content.isEmpty() || !otherKey.isEmpty() || !QFile::exists(databaseFile()),
                 "a missing Record List must never be created");
        QStringList titles;
        for (const test::ShownPrompt &shown : takeShown())
            titles << shown.title + (shown.icon == PromptIcon::Critical ? " (critical)" : "");
        QCOMPARE(titles, title.isEmpty() ? QStringList() : QStringList{title + " (critical)"});
    }

    void closedStoreReportsInsteadOfCrashing()
    {
        m_store->CloseRecordStore();
        QVERIFY(!exists(QStringLiteral("/a.jpg")));
        QCOMPARE(save(QStringLiteral("/a.jpg"), rowValues(QStringLiteral("/a.jpg"))), RecordResult::Failed);
        QCOMPARE(get(QStringLiteral("/a.jpg")).size(), 13);
        QCOMPARE(takeShown().size(), 3);
    }

    void adjustmentRecordRoundTripsByName()
    {
        AdjustmentRecord record{QStringLiteral("/photos/Ä.jpg"),
                                4000,
                                3000,
                                "50",
                                "75.5",
                                "-10",
                                "20",
                                3,
                                -1,
                                QStringLiteral("05/12/2026 14:03:11"),
                                QStringLiteral("Fish & <chips>")};
        QCOMPARE(saveAdjustmentRecord(*m_store, record), RecordResult::Done);
        const std::optional<AdjustmentRecord> loaded =
            loadAdjustmentRecord(*m_store, QStringLiteral(" /photos/ä.jpg "));
        QVERIFY(loaded);
        // Stored as 16-bit whole numbers, rounded half to even.
        AdjustmentRecord stored = record;
        stored.heightPercent = QStringLiteral("76");
        QCOMPARE(fieldsOf(*loaded), fieldsOf(stored));

        QCOMPARE(clearAdjustmentRecord(*m_store, record.imagePath), RecordResult::Done);
        QVERIFY(!loadAdjustmentRecord(*m_store, record.imagePath));
        QCOMPARE(saveAdjustmentRecord(*m_store, record), RecordResult::Done);
        QCOMPARE(clearAllAdjustmentRecords(*m_store), RecordResult::Done);
        QCOMPARE(clearAllAdjustmentRecords(*m_store), RecordResult::Other);

        // A failed lookup is never mistaken for an image without a record.
        m_store->CloseRecordStore();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, loadAdjustmentRecord(*m_store, record.imagePath));
    }

    // Another program writing when the store opens: the store waits for it
    // instead of refusing to start.
    void openWaitsForAWriterHoldingTheLock()
    {
        m_store->CloseRecordStore();
        sqlite3 *other = openDirectly(databaseFile());
        QVERIFY(other);
        const QByteArray insert = QByteArray("BEGIN EXCLUSIVE; ") + kInsertRow
            + "VALUES ('/other.jpg', 1, 1, 50, 50, 0, 0, 0, 0, 'd', '', 1)";
        QCOMPARE(sqlite3_exec(other, insert.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        std::thread writer([other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        });
        const bool opened = m_store->OpenRecordStore(kPath);
        writer.join();
        sqlite3_close(other);
        QVERIFY2(opened, qPrintable(m_prompts.transcript()));
        QVERIFY(exists(QStringLiteral("/OTHER.jpg")));
        QCOMPARE(save(QStringLiteral("/other.jpg")), RecordResult::Other);
    }

    // Several programs save the same new paths, read them back, and save and
    // delete paths of their own, all at once. Every path ends with exactly one
    // row, every delete removed its row, and nobody was refused.
    void concurrentProgramsNeitherDuplicateNorLoseRows()
    {
        constexpr int kPrograms = 4;
        constexpr int kSaves = 25;
        const QString start = QString::number(QDateTime::currentMSecsSinceEpoch() + 1500);
        std::vector<std::unique_ptr<QProcess>> programs;
        for (int writer = 0; writer < kPrograms; ++writer) {
            programs.push_back(std::make_unique<QProcess>());
            programs.back()->start(QCoreApplication::applicationDirPath() + QStringLiteral("/recordlist_writer"),
                                   {m_folder->path(), QString::number(writer), QString::number(kSaves), start});
        }
        for (const std::unique_ptr<QProcess> &program : programs) {
            QVERIFY(program->waitForFinished(120000));
            QVERIFY2(program->exitStatus() == QProcess::NormalExit && program->exitCode() == 0,
                     program->readAllStandardError().constData());
        }
        for (int i = 0; i < kSaves; ++i) {
            QVERIFY(exists(QStringLiteral("/photos/shared%1.jpg").arg(i)));
            for (int writer = 0; writer < kPrograms; ++writer)
                QCOMPARE(exists(QStringLiteral("/photos/writer%1-%2.jpg").arg(writer).arg(i)), i % 2 == 0);
        }
        QCOMPARE(rowCount(databaseFile()), kSaves + kPrograms * ((kSaves + 1) / 2));
    }

private:
    // The store's routines with the table and key field every caller passes.
    bool exists(const QString &path) { return m_store->RecordExists(path, kKey, kTable); }
    QStringList get(const QString &path) { return m_store->GetRecord(path, kKey, kTable); }
    RecordResult save(const QString &path, const QVariantList &values)
    {
        return m_store->SaveRecord(path, values, kKey, kTable);
    }
    RecordResult save(const QString &path) { return save(path, rowValues(path)); }
    RecordResult remove(bool all, const QString &path) { return m_store->DeleteRecords(all, path, kKey, kTable); }
    // What was shown since the last look, forgotten so that cleanup finds none.
    QList<test::ShownPrompt> takeShown() { return std::exchange(m_prompts.shown, {}); }

    std::unique_ptr<QTemporaryDir> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<RecordStore> m_store;
    QString databaseFile() const { return m_folder->path() + kPath; }
};

QTEST_GUILESS_MAIN(RecordStoreTest)
#include "tst_recordstore.moc"
