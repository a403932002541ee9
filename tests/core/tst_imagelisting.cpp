// Which entries a folder gives the image list, in which order, with which
// date and size texts.

#include "imagelisting.h"
#include "runtimeerror.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace tovin;

class ImageListingTest : public QObject
{
    Q_OBJECT

private slots:
    // A name that is not UTF-8 (QDir leaves such a file out) is listed under
    // its decoded name so that the user sees it, after the others, with its
    // file's date: the others' dates are read later, from inside the files.
    void listsUpFoldersThenImages()
    {
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("Photos"));
        for (const char *sub : {"/2006", "/Beach", "/.cache"})
            QDir().mkpath(folder + QLatin1String(sub));
        for (const char *name : {"y.jpeg", "x.JPG", "b.Jpg", "notes.txt", "a.png", ".hidden.jpg", "jpg"})
            QVERIFY(test::writeBytes(folder + u'/' + QLatin1String(name), "10 bytes.."));
        std::FILE *latin1 = std::fopen(QFile::encodeName(folder).append("/caf\xe9.jpg").constData(), "w");
        QVERIFY(latin1 && std::fwrite(QByteArray(2048, 'x').constData(), 1, 2048, latin1) == 2048);
        std::fclose(latin1);

        // Typed with a trailing separator: keys still have one separator.
        const QList<ListEntry> entries = listFolderEntries(folder + u'/');
        QStringList seen;
        for (const ListEntry &entry : entries)
            seen << QStringLiteral("%1 %2 %3 %4").arg(int(entry.kind)).arg(entry.name, entry.key, entry.sizeText);
        QCOMPARE(seen,
                 (QStringList{
                     QStringLiteral("1 . . . . %1/ ").arg(root.path()),
                     QStringLiteral("2 2006 %1/2006 ").arg(folder),
                     QStringLiteral("2 Beach %1/Beach ").arg(folder),
                     QStringLiteral("3 b.Jpg %1/b.Jpg 0KB").arg(folder),
                     QStringLiteral("3 x.JPG %1/x.JPG 0KB").arg(folder),
                     QStringLiteral("3 y.jpeg %1/y.jpeg 0KB").arg(folder),
                     QStringLiteral("3 caf\uFFFD.jpg %1/caf\uFFFD.jpg 2KB").arg(folder),
                 }));
        for (const ListEntry &entry : entries)
            QCOMPARE(entry.dateText.isEmpty(), !entry.name.startsWith(QStringLiteral("caf")));
    }

    void rootHasNoUpEntry()
    {
        const QList<ListEntry> entries = listFolderEntries(QStringLiteral("/"));
        QVERIFY(!entries.isEmpty() && entries.first().kind != ListEntryKind::Up);
        for (const ListEntry &entry : entries)
            QVERIFY2(!entry.key.startsWith(QStringLiteral("//")), qPrintable(entry.key));
    }

    void missingFolderRaises()
    {
        try {
            listFolderEntries(QStringLiteral("/no/such/folder"));
            QFAIL("no error raised");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), 76);
        }
    }

    // Whole kilobytes, rounded half to even.
    void sizeTexts()
    {
        for (auto [bytes, text] :
             {std::pair(qint64(300), "0KB"), {1536, "2KB"}, {2560, "2KB"}, {5LL * 1024 * 1024 * 1024, "5242880KB"}})
            QCOMPARE(listSizeText(bytes), QLatin1String(text));
    }

    void dateTexts()
    {
        const QLocale locale(QLocale::English, QLocale::UnitedStates);
        const QDate date(2026, 12, 5);
        QCOMPARE(listDateText(QDateTime(date, QTime(0, 0)), locale), locale.toString(date, QLocale::ShortFormat));
        const QString afternoon = listDateText(QDateTime(date, QTime(14, 3, 11)), locale);
        QVERIFY2(afternoon.startsWith(locale.toString(date, QLocale::ShortFormat) + u' '), qPrintable(afternoon));
        QVERIFY2(afternoon.contains(QStringLiteral("2:03:11")), qPrintable(afternoon));
        QVERIFY2(!afternoon.contains(QStringLiteral("UTC")) && !afternoon.endsWith(u' '), qPrintable(afternoon));
    }
};

QTEST_GUILESS_MAIN(ImageListingTest)
#include "tst_imagelisting.moc"
