#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tovin::test {

// Settings of the program under test go to a private temporary folder, never
// to the user's own.
void useTemporarySettings(const QTemporaryDir &folder);

// The shared images written by other programs (orientation/, unusual/), or an
// empty text when they are not beside this checkout.
QString sharedTestData();

// The program folder laid out by the build (Record List, templates).
QString builtProgramFolder();

// Puts a fresh copy of the empty Record List the build made into a program
// folder of a test.
bool installRecordList(const QString &programFolder);

// A program folder of a test with everything the build lays out beside the
// program that the batch run reads: the Record List and the album files.
bool installProgramFolder(const QString &programFolder);

// A whole file's bytes (empty when it cannot be read), and writing them.
QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

} // namespace tovin::test

// Skips the calling test when the shared images are not present.
#define TOVIN_REQUIRE_SHARED_TESTDATA(dir)                                                                             \
    const QString dir = ::tovin::test::sharedTestData();                                                               \
    if (dir.isEmpty())                                                                                                 \
    QSKIP("the shared test images are not beside this checkout (set TOVIN_TESTDATA)")
