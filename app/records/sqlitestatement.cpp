#include "sqlitestatement.h"

#include "runtimeerror.h"

#include <sqlcipher/sqlite3.h>

namespace tovin {

RuntimeError sqliteError(sqlite3 *db)
{
    if (!db)
        return {91, QStringLiteral("The Record List is not open")};
    const int code = sqlite3_errcode(db);
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        return {code, QStringLiteral("The Record List is in use by another program; try again in a moment")};
    return {code, QString::fromUtf8(sqlite3_errmsg(db))};
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

SqliteStatement::SqliteStatement(sqlite3 *db, const QString &sql)
    : m_db(db)
{
    if (!db)
        throw sqliteError(db);
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_statement, nullptr) != SQLITE_OK)
        throw sqliteError(db);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::bind(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        throw sqliteError(m_db);
}

void SqliteStatement::bind(int index, std::int64_t number)
{
    if (sqlite3_bind_int64(m_statement, index, number) != SQLITE_OK)
        throw sqliteError(m_db);
}

bool SqliteStatement::step()
{
    switch (sqlite3_step(m_statement)) {
    case SQLITE_ROW:
        return true;
    case SQLITE_DONE:
        return false;
    default:
        throw sqliteError(m_db);
    }
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

QString SqliteStatement::columnDeclaredType(int column) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_statement, column));
}

bool SqliteStatement::columnIsNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

QString SqliteStatement::columnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column));
}

std::int64_t SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

ImmediateTransaction::ImmediateTransaction(sqlite3 *db)
    : m_db(db)
{
    SqliteStatement(db, QStringLiteral("BEGIN IMMEDIATE")).step();
    m_open = true;
}

ImmediateTransaction::~ImmediateTransaction()
{
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void ImmediateTransaction::commit()
{
    SqliteStatement(m_db, QStringLiteral("COMMIT")).step();
    m_open = false;
}

} // namespace tovin
