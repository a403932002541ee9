#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tovin {

// PBKDF2 with HMAC-SHA-1 (RFC 8018): `length` bytes stretched from the
// password and salt with `iterations` rounds per block.
QByteArray pbkdf2Sha1(QByteArrayView password, QByteArrayView salt, int iterations, int length);

// What to give sqlite3_key for the Record List in `file`: the database key
// itself, derived here from the Record List's passphrase and the salt at the
// start of the file, or the passphrase when the file has no salt yet.
QByteArray recordListKeyFor(const QString &file);

} // namespace tovin
