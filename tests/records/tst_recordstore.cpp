// The Record List on a real encrypted file, also with other programs using it.

#include "adjustmentrecord.h"
#include "errorreport.h"
#include "recordschema.h"
#include "recordstore.h"
#include "runtimeerror.h"
#include "scriptedprompts.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <openssl/evp.h>
#include <sqlcipher/sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace tovin;

namespace {

const QString kPath = QString::fromLatin1(kRecordListPath);
const QString kDate = QStringLiteral("05/12/2026 14:03:11");

const char kInsertRow[] = "INSERT INTO tovin_table (img_path, img_width, img_height, width_pct, height_pct, bright, "
                          "contrast, filter_idx, quality_idx, img_date, img_desc, adjusted) ";

QVariantList rowValues(const QString &path)
{
    return {path, 4000, 3000, 50, 60, -10, 20, 3, -1, kDate, QString(), true};
}

// The file opened as another program would, with another key or none.
sqlite3 *openDirectly(const QString &file, const QByteArray &key = kRecordListKey)
{
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, flags, nullptr) != SQLITE_OK
        || (!key.isEmpty() && sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

// Runs SQL on the file; a number it selects goes to *number.
bool execute(const QString &file, const QByteArray &sql, const QByteArray &key = kRecordListKey, int *number = nullptr)
{
    sqlite3 *db = openDirectly(file, key);
    const auto keep = [](void *into, int, char **values, char **) {
        *static_cast<int *>(into) = std::atoi(values[0]);
        return 0;
    };
    const bool ok = db && sqlite3_exec(db, sql.constData(), number ? +keep : nullptr, number, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// One of several programs at once: saves the shared paths at the same moments
// as the others and reads each back, saves and deletes paths of its own.
int writeAlongsideOthers(const QString &programFolder, int writer, int saves, qint64 start)
{
    test::ScriptedPrompts prompts;
    RecordStore store(programFolder, prompts);
    int failures = store.OpenRecordStore(kPath) ? 0 : 1;
    for (int i = 0; i < saves; ++i) {
        QThread::msleep(std::max<qint64>(0, start + i * 40 - QDateTime::currentMSecsSinceEpoch()));
        const QString shared = QStringLiteral("/photos/shared%1.jpg").arg(i);
        QVariantList values = rowValues(shared);
        values[kWidthPct - 1] = 10 + writer;
        failures += store.SaveRecord(shared, values) == RecordResult::Failed;
        failures += !store.readRecordTexts(shared);
        const QString own = QStringLiteral("/photos/writer%1-%2.jpg").arg(writer).arg(i);
        failures += store.SaveRecord(own, rowValues(own)) != RecordResult::Done;
        if (i % 2 == 1)
            failures += store.DeleteRecords(false, own) != RecordResult::Done;
    }
    if (failures != 0 || !prompts.shown.isEmpty())
        std::fprintf(stderr, "%d failures: %s\n", failures, qPrintable(prompts.transcript()));
    return failures != 0 || !prompts.shown.isEmpty();
}

} // namespace

class RecordStoreTest : public QObject
{
    Q_OBJECT

    bool exists(const QString &path) { return m_store->readRecordTexts(path).has_value(); }
    QStringList get(const QString &path) { return m_store->readRecordTexts(path).value_or(QStringList(13)); }
    RecordResult save(const QString &path, const QVariantList &values) { return m_store->SaveRecord(path, values); }
    RecordResult save(const QString &path) { return save(path, rowValues(path)); }
    RecordResult remove(bool all, const QString &path) { return m_store->DeleteRecords(all, path); }
    // A failed look-up throws; the window shows it in the common error report.
    bool lookUpFails(const QString &path)
    {
        try {
            m_store->readRecordTexts(path);
            return false;
        } catch (const RuntimeError &error) {
            showErrorReport(m_prompts, error);
            return true;
        }
    }
    QString databaseFile() const { return m_folder->path() + kPath; }

    std::unique_ptr<QTemporaryDir> m_folder;
    test::ScriptedPrompts m_prompts;
    std::unique_ptr<RecordStore> m_store;

private slots:
    void init()
    {
        // In memory: a disk that other work keeps busy can hold a commit for
        // seconds, and the concurrency test is about locking, not about disks.
        const QString memory = QStringLiteral("/dev/shm");
        m_folder = std::make_unique<QTemporaryDir>((QFileInfo(memory).isWritable() ? memory : QDir::tempPath())
                                                   + QStringLiteral("/tovin-records-XXXXXX"));
        QVERIFY(test::installRecordList(m_folder->path()));
        m_prompts = {};
        m_store = std::make_unique<RecordStore>(m_folder->path(), m_prompts);
        QVERIFY(m_store->OpenRecordStore(kPath));
    }

    void cleanup()
    {
        QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
        m_store.reset();
        m_folder.reset();
    }

    // An adjustment record through the rows' fields; the commands' tests read
    // it back and clear it.
    void roundTrips()
    {
        AdjustmentRecord record{
            "/Photos/Ä.jpg", 4000, 3000, "50", "75.5", "-10", "20", 3, -1, kDate, "Tom & Jerry <b>\n]]> 'quoted'"};
        const QString first = record.imagePath;
        QCOMPARE(get(first), QStringList(13, QString()));
        QCOMPARE(saveAdjustmentRecord(*m_store, record), RecordResult::Done);
        // An update keeps the letter case of the first save.
        record.widthPercent = QStringLiteral("80");
        record.imagePath = QStringLiteral(" /photos/ä.jpg ");
        QCOMPARE(saveAdjustmentRecord(*m_store, record), RecordResult::Other);
        const QStringList texts = get(record.imagePath);
        QVERIFY(texts.at(kRecId).toInt() > 0);
        // Stored as 16-bit whole numbers, rounded half to even.
        QCOMPARE(
            texts.mid(1),
            (QStringList{first, "4000", "3000", "80", "76", "-10", "20", "3", "-1", kDate, record.description, "1"}));
        QCOMPARE(remove(false, QStringLiteral("/PHOTOS/ä.JPG")), RecordResult::Done);
        QCOMPARE(remove(false, first), RecordResult::Other);

        // A closed store reports instead of crashing, and a failed lookup is
        // never mistaken for an image without a record.
        m_store->CloseRecordStore();
        QCOMPARE(save(QStringLiteral("/a.jpg")), RecordResult::Failed);
        QCOMPARE(m_prompts.takeTitles().size(), 1);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, loadAdjustmentRecord(*m_store, first));
    }

    void matchesRegardlessOfCaseAndBlanks_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("found");
        // clang-format off
        QTest::newRow("ASCII letter case") << "/Photos/A.jpg" << "/photos/a.JPG" << true;
        QTest::newRow("accents") << "/été/ÉCOLE.jpg" << "/ÉTÉ/école.jpg" << true;
        QTest::newRow("single quote") << "/photos/o'neil.jpg" << "/photos/O'Neil.jpg" << true;
        QTest::newRow("wildcards are plain characters") << "/photos/a_b%.jpg" << "/photos/axbyz.jpg" << false;
        QTest::newRow("other extension") << "/photos/a.jpg" << "/photos/a.jpeg" << false;
        // clang-format on
    }

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

    void valueThatDoesNotFitIsRefused_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("percent beyond 16 bits") << int(kWidthPct) << QVariant(40000) << 6;
        QTest::newRow("percent as words") << int(kHeightPct) << QVariant("fifty") << 13;
        QTest::newRow("width beyond 32 bits") << int(kImgWidth) << QVariant(5e9) << 6;
        QTest::newRow("no path") << int(kImgPath) << QVariant() << 94;
    }

    void valueThatDoesNotFitIsRefused()
    {
        QFETCH(int, position);
        QFETCH(QVariant, value);
        QFETCH(int, error);
        const QString path = QStringLiteral("/photos/a.jpg");
        QVariantList values = rowValues(path);
        values[position - 1] = value;
        QCOMPARE(save(path, values), RecordResult::Failed);
        QCOMPARE(m_prompts.takeTitles(), QStringList{QStringLiteral("Error! #%1").arg(error)});
        QVERIFY(!exists(path));
    }

    void deleteAllRefusesMoreRowsThanItCanCount()
    {
        m_store->CloseRecordStore();
        QVERIFY(execute(databaseFile(),
                        QByteArray("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32768) ")
                            + kInsertRow
                            + "SELECT '/p/' || i || '.jpg', 1, 1, 100, 100, 0, 0, 0, 0, '', '', 1 FROM n"));
        QVERIFY(m_store->OpenRecordStore(kPath));
        QCOMPARE(remove(true, QStringLiteral("dummy")), RecordResult::Failed);
        QCOMPARE(m_prompts.takeTitles(), QStringList{QStringLiteral("Error! #6")});
        QVERIFY(exists(QStringLiteral("/p/32768.jpg")));
    }

    // A Record List that SQLCipher made elsewhere with the passphrase opens,
    // and so do rows that earlier versions wrote: they handed SQLCipher the
    // key derived from the passphrase and the salt that begins the file.
    void opensAFileMadeElsewhere_data()
    {
        QTest::addColumn<bool>("derivedKey");
        QTest::newRow("made with the passphrase") << false;
        QTest::newRow("written with the derived key") << true;
    }

    void opensAFileMadeElsewhere()
    {
        QFETCH(bool, derivedKey);
        m_store->CloseRecordStore();
        const QByteArray row = QByteArray(kInsertRow) + "VALUES ('/p/a.jpg', 1, 1, 100, 100, 0, 0, 0, 0, '', '', 1)";
        if (derivedKey) {
            // SQLCipher 3: a 16-byte salt, 64,000 rounds of PBKDF2-HMAC-SHA-1.
            const QByteArray salt = test::readBytes(databaseFile()).first(16);
            QByteArray key(32, '\0');
            QVERIFY(PKCS5_PBKDF2_HMAC(kRecordListKey, int(sizeof kRecordListKey - 1),
                                      reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                                      64000, EVP_sha1(), int(key.size()),
                                      reinterpret_cast<unsigned char *>(key.data())));
            QVERIFY(execute(databaseFile(), row, "x'" + key.toHex() + '\''));
        } else {
            QVERIFY(QFile::remove(databaseFile()));
            QVERIFY(execute(databaseFile(), recordTableDefinition().toUtf8() + "; " + row));
        }
        QVERIFY(m_store->OpenRecordStore(kPath));
        QVERIFY(exists(QStringLiteral("/p/a.jpg")));
    }

    // No file at all is refused without a word; anything else that is no
    // Record List with its table is reported first.
    void openFailures_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QByteArray>("otherKey");
        QTest::addColumn<QString>("title");
        // clang-format off
        QTest::newRow("no file") << QByteArray() << QByteArray() << "";
        QTest::newRow("not a database") << QByteArray("just some text, not a database file\n") << QByteArray()
                                        << "Error! #26";
        QTest::newRow("another key") << QByteArray() << QByteArray("wrong key") << "Error! #26";
        QTest::newRow("plain unencrypted file") << QByteArray() << QByteArray("-") << "Error! #26";
        QTest::newRow("zero length") << QByteArray("") << QByteArray() << "Error! #1";
        QTest::newRow("the key, but no table") << QByteArray() << QByteArray(kRecordListKey) << "Error! #1";
        // clang-format on
    }

    void openFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, otherKey);
        QFETCH(QString, title);
        m_store->CloseRecordStore();
        QVERIFY(QFile::remove(databaseFile()));
        if (!content.isNull())
            QVERIFY(test::writeBytes(databaseFile(), content));
        if (!otherKey.isEmpty())
            QVERIFY(execute(databaseFile(), "CREATE TABLE t (x)", otherKey == "-" ? QByteArray() : otherKey));
        const QByteArray before = test::readBytes(databaseFile());
        QVERIFY(!m_store->OpenRecordStore(kPath));
        QCOMPARE(m_prompts.takeTitles(), title.isEmpty() ? QStringList() : QStringList{title});
        QVERIFY2(QFile::exists(databaseFile()) == !title.isEmpty(), "a missing Record List must never be created");
        QCOMPARE(test::readBytes(databaseFile()), before);
    }

    // A window waits for a lock held elsewhere no longer than a blink, then
    // says why; the patient wait of a terminal run is the opening test's.
    void aHeldLockIsReportedWithinABlink_data()
    {
        QTest::addColumn<int>("routine");
        QTest::newRow("save") << 0;
        QTest::newRow("look-up") << 1;
        QTest::newRow("delete") << 2;
    }

    void aHeldLockIsReportedWithinABlink()
    {
        QFETCH(int, routine);
        QCOMPARE(save(QStringLiteral("/held.jpg")), RecordResult::Done);
        m_store->setLockWait(RecordStore::kWindowLockWaitMs);
        sqlite3 *other = openDirectly(databaseFile());
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE; DELETE FROM tovin_table", nullptr, nullptr, nullptr), SQLITE_OK);
        QElapsedTimer waited;
        waited.start();
        const bool failed = routine == 0 ? save(QStringLiteral("/held.jpg")) == RecordResult::Failed
            : routine == 1               ? lookUpFails(QStringLiteral("/held.jpg"))
                                         : remove(false, QStringLiteral("/held.jpg")) == RecordResult::Failed;
        const qint64 milliseconds = waited.elapsed();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QVERIFY(failed);
        QVERIFY2(milliseconds < 1000, qPrintable(QString::number(milliseconds)));
        QCOMPARE(
            m_prompts.shown,
            QList{test::messageBox("Error! (# 5): The Record List is in use by another program; try again in a moment",
                                   "Error! #5", PromptIcon::Critical)});
        m_prompts = {};
        QVERIFY(exists(QStringLiteral("/held.jpg")));
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
        QVERIFY(opened);
        QVERIFY(exists(QStringLiteral("/OTHER.jpg")));
        QCOMPARE(save(QStringLiteral("/other.jpg")), RecordResult::Other);
    }

    // Each program checked its own saves and deletes; in the end every shared
    // path has exactly one row and every deleted path none.
    void concurrentProgramsNeitherDuplicateNorLoseRows()
    {
        constexpr int kPrograms = 4;
        constexpr int kSaves = 25;
        const QString start = QString::number(QDateTime::currentMSecsSinceEpoch() + 1500);
        QProcess programs[kPrograms];
        for (int writer = 0; writer < kPrograms; ++writer)
            programs[writer].start(QCoreApplication::applicationFilePath(),
                                   {QStringLiteral("--writer"), m_folder->path(), QString::number(writer),
                                    QString::number(kSaves), start});
        for (QProcess &program : programs) {
            QVERIFY(program.waitForFinished(120000));
            QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                     program.readAllStandardError().constData());
        }
        int rows = -1;
        QVERIFY(execute(databaseFile(), "SELECT count(*) FROM tovin_table", kRecordListKey, &rows));
        QCOMPARE(rows, kSaves + kPrograms * ((kSaves + 1) / 2));
    }
};

// Started with --writer by the concurrency test, it is one of the programs.
int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 6 && arguments.at(1) == QLatin1String("--writer"))
        return writeAlongsideOthers(arguments.at(2), arguments.at(3).toInt(), arguments.at(4).toInt(),
                                    arguments.at(5).toLongLong());
    RecordStoreTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recordstore.moc"
