#include "recordstore.h"

#include "errorreport.h"
#include "numbertext.h"
#include "paths.h"
#include "recordschema.h"
#include "runtimeerror.h"
#include "sqlitestatement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

namespace tovin {
namespace {

const QString kTable = quoteIdentifier(QString::fromLatin1(kRecordTable));
const QString kKeyField = quoteIdentifier(QString::fromLatin1(kRecordKeyField));
constexpr char kNoCaseCollation[] = "tovin_nocase";
constexpr int kWrittenFields = 12;

// Letter case is ignored for every alphabet, not only for A to Z, which is
// all that SQLite's own NOCASE knows.
int compareIgnoringCase(void *, int leftLength, const void *left, int rightLength, const void *right)
{
    const QString a = QString::fromUtf8(static_cast<const char *>(left), leftLength);
    const QString b = QString::fromUtf8(static_cast<const char *>(right), rightLength);
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void requireRowLayout(const SqliteStatement &statement)
{
    if (statement.columnCount() != int(kRecordFields.size()))
        throw RuntimeError(3265, QStringLiteral("Item not found in this collection."));
}

// A value is stored in the type its field was declared with; a value that
// does not fit raises the same errors an assignment in the program would.
void bindAsDeclared(SqliteStatement &statement, int parameter, const QString &declaredType, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        throw RuntimeError::invalidUseOfNull();
    const QString type = declaredType.toUpper();
    if (type == QLatin1String("BOOLEAN")) {
        statement.bind(parameter, std::int64_t(value.toBool() ? 1 : 0));
        return;
    }
    if (type != QLatin1String("SMALLINT") && type != QLatin1String("INTEGER")) {
        statement.bind(parameter, value.toString());
        return;
    }
    double number = 0;
    if (value.userType() == QMetaType::QString) {
        number = textToDouble(value.toString());
    } else {
        bool ok = false;
        number = value.toDouble(&ok);
        if (!ok)
            throw RuntimeError::typeMismatch();
    }
    statement.bind(parameter, std::int64_t(type == QLatin1String("SMALLINT") ? toInt16(number) : toInt32(number)));
}

} // namespace

RecordStore::RecordStore(QString programFolder, UserPrompts &prompts)
    : m_programFolder(std::move(programFolder))
    , m_prompts(prompts)
{
}

RecordStore::~RecordStore()
{
    CloseRecordStore();
}

bool RecordStore::OpenRecordStore(const QString &relativePath)
{
    CloseRecordStore();
    const QString file = joinPath(m_programFolder, relativePath);
    if (!QFileInfo(file).isFile())
        return false;

    sqlite3 *db = nullptr;
    try {
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw sqliteError(db);
        // Another program may have the file open and be writing it: opening
        // waits for it rather than fail.
        sqlite3_busy_timeout(db, kPatientLockWaitMs);
        if (sqlite3_key(db, kRecordListKey, int(sizeof kRecordListKey - 1)) != SQLITE_OK)
            throw sqliteError(db);
        // A wrong key or a file that is no database shows only at the first
        // read; an empty file reads as a database without the table, which
        // would fail at every image instead of here.
        SqliteStatement table(db, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(kTable));
        requireRowLayout(table);
        if (sqlite3_create_collation_v2(db, kNoCaseCollation, SQLITE_UTF8, nullptr, compareIgnoringCase, nullptr)
            != SQLITE_OK)
            throw sqliteError(db);
        sqlite3_busy_timeout(db, m_lockWaitMs);
    } catch (const RuntimeError &error) {
        sqlite3_close(db);
        showErrorReport(m_prompts, error);
        return false;
    }
    m_db = db;
    return true;
}

void RecordStore::setLockWait(int milliseconds)
{
    m_lockWaitMs = milliseconds;
    if (m_db)
        sqlite3_busy_timeout(m_db, milliseconds);
}

void RecordStore::CloseRecordStore()
{
    sqlite3_close(m_db);
    m_db = nullptr;
}

std::optional<std::int64_t> RecordStore::findFirstRow(const QString &path)
{
    SqliteStatement find(m_db,
                         QStringLiteral("SELECT rowid FROM %1 WHERE %2 = ?1 COLLATE %3 ORDER BY rowid LIMIT 1")
                             .arg(kTable, kKeyField, QLatin1String(kNoCaseCollation)));
    find.bind(1, trimBlanks(path));
    if (!find.step())
        return std::nullopt;
    return find.columnInt(0);
}

std::optional<QStringList> RecordStore::readRecordTexts(const QString &path)
{
    const std::optional<std::int64_t> row = findFirstRow(path);
    if (!row)
        return std::nullopt;
    SqliteStatement read(m_db, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(kTable));
    read.bind(1, *row);
    requireRowLayout(read);
    read.step();
    QStringList texts;
    for (int column = 0; column < read.columnCount(); ++column) {
        if (read.columnIsNull(column))
            throw RuntimeError::invalidUseOfNull();
        texts << read.columnText(column);
    }
    return texts;
}

RecordResult RecordStore::SaveRecord(const QString &path, const QVariantList &values)
{
    try {
        if (values.size() != kWrittenFields)
            throw RuntimeError(5, QStringLiteral("Invalid procedure call or argument"));
        // Found and written under one lock: two programs saving one new path
        // at once must not both add a row.
        ImmediateTransaction transaction(m_db);
        const std::optional<std::int64_t> row = findFirstRow(path);

        SqliteStatement layout(m_db, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(kTable));
        requireRowLayout(layout);
        // An update leaves the stored path alone: it keeps the letter case of
        // the first save.
        const int firstWritten = row ? 2 : 1;
        QStringList columns;
        QStringList parameters;
        QStringList assignments;
        for (int field = firstWritten; field <= kWrittenFields; ++field) {
            columns << quoteIdentifier(layout.columnName(field));
            parameters << QStringLiteral("?%1").arg(field);
            assignments << columns.last() + u'=' + parameters.last();
        }
        const QString sql = row
            ? QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?13").arg(kTable, assignments.join(u','))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(kTable, columns.join(u','), parameters.join(u','));
        SqliteStatement write(m_db, sql);
        for (int field = firstWritten; field <= kWrittenFields; ++field)
            bindAsDeclared(write, field, layout.columnDeclaredType(field), values.at(field - 1));
        if (row)
            write.bind(13, *row);
        write.step();
        transaction.commit();
        return row ? RecordResult::Other : RecordResult::Done;
    } catch (const RuntimeError &error) {
        showErrorReport(m_prompts, error);
        return RecordResult::Failed;
    }
}

RecordResult RecordStore::DeleteRecords(bool all, const QString &path)
{
    try {
        ImmediateTransaction transaction(m_db);
        if (all) {
            SqliteStatement count(m_db, QStringLiteral("SELECT count(*) FROM %1").arg(kTable));
            count.step();
            // The row count is a 16-bit number: a larger table is refused
            // before anything is deleted.
            if (toInt16(double(count.columnInt(0))) == 0)
                return RecordResult::Other;
            SqliteStatement(m_db, QStringLiteral("DELETE FROM %1").arg(kTable)).step();
            transaction.commit();
            return RecordResult::Done;
        }
        const std::optional<std::int64_t> row = findFirstRow(path);
        if (!row)
            return RecordResult::Other;
        SqliteStatement remove(m_db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(kTable));
        remove.bind(1, *row);
        remove.step();
        transaction.commit();
        return RecordResult::Done;
    } catch (const RuntimeError &error) {
        showErrorReport(m_prompts, error);
        return RecordResult::Failed;
    }
}

} // namespace tovin
