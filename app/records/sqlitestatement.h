#pragma once

#include <QString>

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace tovin {

class RuntimeError;

// The last failure of a connection as a run-time error: SQLite's result code
// and its own description.
RuntimeError sqliteError(sqlite3 *db);

QString quoteIdentifier(const QString &name);

// A prepared statement that is finalised on every path out of the routine
// that made it. Failures are raised as RuntimeError.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const QString &sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    void bind(int index, const QString &text);
    void bind(int index, std::int64_t number);
    // True while there is a row to read; false when the statement is done.
    bool step();

    int columnCount() const;
    QString columnName(int column) const;
    QString columnDeclaredType(int column) const;
    bool columnIsNull(int column) const;
    QString columnText(int column) const;
    std::int64_t columnInt(int column) const;

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
};

// One immediate transaction: the write lock is taken at its start, so that a
// look-up and the change that depends on it cannot be split by another
// program writing the same file. Rolled back unless committed.
class ImmediateTransaction
{
public:
    explicit ImmediateTransaction(sqlite3 *db);
    ~ImmediateTransaction();
    ImmediateTransaction(const ImmediateTransaction &) = delete;
    ImmediateTransaction &operator=(const ImmediateTransaction &) = delete;

    void commit();

private:
    sqlite3 *m_db;
    bool m_open = false;
};

} // namespace tovin
