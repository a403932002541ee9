#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <cstdint>
#include <optional>

struct sqlite3;

namespace tovin {

class UserPrompts;

// Outcome of the routines that change the Record List.
enum class RecordResult : int {
    Failed = 0, // the common error report has been shown
    Done = 1, // a row was added, or rows were deleted
    Other = 2, // a row was updated, or there was nothing to delete
};

// The Record List: the per-image adjustments, one row per image path, in an
// encrypted database file beside the program. One connection lives from
// OpenRecordStore to CloseRecordStore; every routine runs its own statements
// and finishes them before it returns. Other programs may use the file at the
// same time: a locked file is waited for (see setLockWait), and each save and
// each delete is one transaction, so no path ever gets two rows.
//
// A row is found by its path with leading and trailing blanks ignored and
// letter case ignored for every alphabet (so "Ä.jpg" finds "ä.jpg"); paths
// are bound as parameters, so no character in them is special.
class RecordStore
{
public:
    RecordStore(QString programFolder, UserPrompts &prompts);
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    // False without a word when the file is missing (the program never creates
    // it); false after the error report when it cannot be opened with the key.
    bool OpenRecordStore(const QString &relativePath);
    void CloseRecordStore();
    // How long a routine waits for another program that holds the file
    // locked before it fails with the common error report.
    void setLockWait(int milliseconds);
    // A window runs the routines on its own thread: it waits no longer than
    // a blink, so that a lock held elsewhere never freezes it.
    static constexpr int kWindowLockWaitMs = 200;

    // The 13 fields of the first matching row, or nothing when no row
    // matches; throws RuntimeError when the lookup fails. One lookup, so that
    // another program's change cannot fall between finding and reading.
    std::optional<QStringList> readRecordTexts(const QString &path);
    // Writes the 12 values of positions 1 to 12 into the first matching row,
    // or into a new row when there is none. The stored path keeps the letter
    // case of the first save.
    RecordResult SaveRecord(const QString &path, const QVariantList &values);
    // Deletes the first row matching the path, or every row when all is set
    // (the path is then ignored).
    RecordResult DeleteRecords(bool all, const QString &path);

private:
    std::optional<std::int64_t> findFirstRow(const QString &path);

    // Opening always waits this long; the routines too, unless told otherwise.
    static constexpr int kPatientLockWaitMs = 5000;

    QString m_programFolder;
    UserPrompts &m_prompts;
    sqlite3 *m_db = nullptr;
    int m_lockWaitMs = kPatientLockWaitMs;
};

} // namespace tovin
