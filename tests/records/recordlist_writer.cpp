// One of several programs using the Record List at once, started by the
// concurrency test: it saves a row for each shared path (every writer saves
// the same ones), reads each back, and saves and deletes paths of its own.
// Exit status 0 when nothing failed and nothing was shown.

#include "recordschema.h"
#include "recordstore.h"
#include "scriptedprompts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <QVariantList>

#include <algorithm>
#include <cstdio>

using namespace tovin;

namespace {

QVariantList rowValues(const QString &path, int writer)
{
    return {path, 4000, 3000, 10 + writer, 60, -10, 20, 3, -1, QStringLiteral("05/12/2026 14:03:11"), QString(), true};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 5)
        return 2;
    // All writers save each shared path at the same moment, whenever each
    // was started, so that their look-ups and additions meet.
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(arguments.at(4).toLongLong());
    auto waitForTurn = [&](int i) {
        QThread::msleep(std::max<qint64>(0, QDateTime::currentDateTime().msecsTo(start.addMSecs(i * 40))));
    };
    const int writer = arguments.at(2).toInt();
    const int saves = arguments.at(3).toInt();
    const QString table = QString::fromLatin1(kRecordTable);
    const QString key = QString::fromLatin1(kRecordKeyField);

    test::ScriptedPrompts prompts;
    RecordStore store(arguments.at(1), prompts);
    if (!store.OpenRecordStore(QString::fromLatin1(kRecordListPath))) {
        std::fprintf(stderr, "open refused: %s\n", qPrintable(prompts.transcript()));
        return 1;
    }
    int failures = 0;
    for (int i = 0; i < saves; ++i) {
        const QString shared = QStringLiteral("/photos/shared%1.jpg").arg(i);
        waitForTurn(i);
        failures += store.SaveRecord(shared, rowValues(shared, writer), key, table) == RecordResult::Failed;
        failures += !store.RecordExists(shared, key, table);
        const QString own = QStringLiteral("/photos/writer%1-%2.jpg").arg(writer).arg(i);
        failures += store.SaveRecord(own, rowValues(own, writer), key, table) != RecordResult::Done;
        if (i % 2 == 1)
            failures += store.DeleteRecords(false, own, key, table) != RecordResult::Done;
    }
    if (failures != 0 || !prompts.shown.isEmpty()) {
        std::fprintf(stderr, "%d failures: %s\n", failures, qPrintable(prompts.transcript()));
        return 1;
    }
    return 0;
}
