// Copying files: only regular files are copied, so that a device or a FIFO
// named like a photo can neither fill the disk nor hang the copy; the
// failure names the file.

#include "fileio.h"
#include "runtimeerror.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tovin;

class FileIoTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyRegularFilesAreCopied_data();
    void onlyRegularFilesAreCopied();
};

// clang-format off
void FileIoTest::onlyRegularFilesAreCopied_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::newRow("link to /dev/zero") << "zero" << 75;
    QTest::newRow("FIFO without a writer") << "fifo" << 75;
    QTest::newRow("folder") << "folder" << 75;
    QTest::newRow("missing") << "missing" << 53;
}
// clang-format on

void FileIoTest::onlyRegularFilesAreCopied()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QTemporaryDir root;
    const QString source = root.filePath(QStringLiteral("photo.jpg"));
    if (kind == QLatin1String("zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), source));
    if (kind == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0644), 0);
    if (kind == QLatin1String("folder"))
        QCOMPARE(::mkdir(QFile::encodeName(source).constData(), 0755), 0);
    const QString copy = root.filePath(QStringLiteral("copy.jpg"));

    try {
        copyFileReplacing(source, copy);
        QFAIL("the copy was made");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), number);
        QCOMPARE(error.file(), source);
    }
    QVERIFY(!QFile::exists(copy));
}

QTEST_GUILESS_MAIN(FileIoTest)
#include "tst_fileio.moc"
