#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>

namespace tovin::test {

// Settings of the program under test go to a temporary folder, not the user's.
void useTemporarySettings(const QTemporaryDir &folder);

// The shared images (orientation/, unusual/), or empty when they are missing.
QString sharedTestData();

// The program folder laid out by the build (Record List, templates).
QString builtProgramFolder();

// Copies the empty Record List the build made into a test's program folder;
// the second also the album files the batch run reads.
bool installRecordList(const QString &programFolder);
bool installProgramFolder(const QString &programFolder);

// The most memory this process has held at once, in bytes.
std::int64_t peakResidentBytes();

// A whole file's bytes (empty when it cannot be read), and writing them.
QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

} // namespace tovin::test
