// Build tool: writes the empty Record List file that ships beside the
// program. The program itself never creates the file.

#include "recordschema.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sqlcipher/sqlite3.h>

#include <cstdio>

namespace {

bool run(sqlite3 *db, const QByteArray &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "make_recordlist_db: %s\n", error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_recordlist_db OUTPUT\n");
        return 2;
    }
    const QString target = QString::fromLocal8Bit(argv[1]);
    const QString partial = target + QStringLiteral(".partial");
    QFile::remove(partial);

    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(partial).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                              nullptr)
            == SQLITE_OK
        && sqlite3_key(db, tovin::kRecordListKey, int(sizeof tovin::kRecordListKey - 1)) == SQLITE_OK
        && run(db, tovin::recordTableDefinition().toUtf8());
    sqlite3_close(db);

    if (ok) {
        QFile::remove(target);
        ok = QFile::rename(partial, target);
    }
    if (!ok) {
        QFile::remove(partial);
        std::fprintf(stderr, "make_recordlist_db: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
