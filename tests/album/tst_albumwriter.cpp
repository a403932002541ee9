// The album writer's token replacement, values XML cannot hold and albums
// that end early; the batch window's preview album and its pictures.

#include "albumpreview.h"
#include "albumwriter.h"
#include "batchfixture.h"
#include "runtimeerror.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using namespace tovin::test;

namespace {

// Template files of a test's own, and the album's fixed files beside them.
QString makeTemplates(const QTemporaryDir &root, const QByteArray &head, const QByteArray &loop, const QByteArray &foot)
{
    const QString folder = root.filePath("templates");
    bool written = QDir().mkpath(folder) && writeBytes(folder + "/Sorvel_head.tpl", head)
        && writeBytes(folder + "/Sorvel_loop.tpl", loop) && writeBytes(folder + "/Sorvel_foot.tpl", foot);
    for (const char *name : {"Sorvel.js", "Sorvel.html", "next_button.jpg", "back_button.jpg"})
        written = written && writeBytes(folder + u'/' + QLatin1String(name), name);
    return written ? folder : QString();
}

AlbumEntry entry(const QString &date, const QString &description)
{
    return {QStringLiteral("a.jpg"), 10, 20, 30, 40, date, description};
}

const QByteArray kPreviewHead = "<head color=\"#SLIDE_FRAME_BACKGROUND_COLOR#\" rows=\"#THUMB_FRAME_ROW#\"/>\n";
const QByteArray kPreviewLoop = "<entry src=\"#THUMB_SRC#\"/>\n";

// A program folder with preview templates of a test's own.
struct PreviewFolder {
    QTemporaryDir root;
    QString prv() const { return root.filePath("program/src/prv"); }
    AlbumPreview preview() const { return AlbumPreview(root.filePath("program"), root.filePath("cache")); }

    PreviewFolder()
    {
        if (!QDir().mkpath(prv()) || !writeBytes(prv() + "/prv_Index.html", "<iframe src=\"Sorvel.xml\"/>")
            || !writeBytes(prv() + "/prv_Sorvel_head.tpl", kPreviewHead)
            || !writeBytes(prv() + "/prv_Sorvel_loop.tpl", kPreviewLoop)
            || !writeBytes(prv() + "/prv_Sorvel_foot.tpl", "</album>\n"))
            qFatal("could not write the preview templates");
    }
};

AlbumLayout gridLayout(const QString &rows, const QString &columns)
{
    AlbumLayout layout = defaultAlbumLayout();
    layout.fields["thumb_r"] = rows;
    layout.fields["thumb_c"] = columns;
    layout.swatches["slide_bg"] = 255;
    return layout;
}

} // namespace

class AlbumWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void replacesInOrder_data()
    {
        QTest::addColumn<QString>("loop");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("written");
        const QString all = "#THUMB_SRC# #SLIDE_SRC# #THUMB_WIDTH# #THUMB_HEIGHT# #SLIDE_WIDTH# #SLIDE_HEIGHT# #DATE# "
                            "#DESCRIPTION#";
        const QString dated = "#DATE#|#DESCRIPTION#";
        // clang-format off
        QTest::newRow("a date token in a description stays") << dated << "d" << "see #DATE#" << "d|see #DATE#";
        QTest::newRow("a description token in a date is replaced") << dated << "x#DESCRIPTION#" << "y" << "xy|y";
        QTest::newRow("a token twice") << "#THUMB_WIDTH#,#THUMB_WIDTH#" << "" << "" << "10,10";
        QTest::newRow("letter case must match") << "#thumb_width#,#Date#" << "" << "" << "#thumb_width#,#Date#";
        QTest::newRow("all eight") << all << "d" << "e" << "./thumbs/a.jpg ./slides/a.jpg 10 20 30 40 d e";
        QTest::newRow("markup characters as they stand") << "#DESCRIPTION#" << "" << "a & b < \"q\"" << "a & b < \"q\"";
        // clang-format on
    }

    void replacesInOrder()
    {
        QFETCH(QString, loop);
        QFETCH(QString, date);
        QFETCH(QString, description);
        QFETCH(QString, written);
        QTemporaryDir root;
        AlbumWriter writer(makeTemplates(root, "H|", loop.toUtf8(), "|F"));
        writer.start(root.path(), defaultAlbumLayout());
        writer.addEntry(entry(date, description));
        writer.finish();
        QCOMPARE(QString::fromUtf8(readBytes(root.filePath("Sorvel.xml"))), "H|" + written + "|F");
    }

    // Through the shipped templates, whatever a description holds, the album
    // stays well-formed and reads back what was typed, bar control characters.
    void valuesThatXmlCannotHold()
    {
        const QString control = QStringLiteral("a\x01\x08\x0B\x0C\x1F b\tc\nd");
        const QStringList typed{"a ]]> b", "]]>]]>", "<b>x</b> & <!-- y -->", control, QString::fromUtf8("Fuji 🗻 ü")};
        QTemporaryDir root;
        AlbumWriter writer(builtProgramFolder() + "/src/sorv");
        writer.start(root.path(), defaultAlbumLayout());
        for (const QString &text : typed)
            writer.addEntry(entry(text, text));
        writer.finish();

        QVERIFY(isWellFormedXml(readBytes(root.filePath("Sorvel.xml"))));
        const QList<QStringList> entries = albumEntries(root.filePath("Sorvel.xml"));
        QCOMPARE(entries.size(), typed.size());
        for (qsizetype i = 0; i < entries.size(); ++i)
            QCOMPARE(entries.at(i).mid(6, 2), QStringList(2, typed.at(i) == control ? "a b\tc\nd" : typed.at(i)));
    }

    // A new album opens from its start on (what a killed run leaves), empty
    // until it is closed as far as it got; an unfinished album never
    // replaces a finished one.
    void anAlbumOpensAtEveryMoment()
    {
        QTemporaryDir root;
        const QString templates = makeTemplates(root, "head", "[entry]", "foot");
        const auto write = [&](int entries, void (AlbumWriter::*end)()) {
            AlbumWriter writer(templates);
            writer.start(root.path(), defaultAlbumLayout());
            for (int i = 0; i < entries; ++i)
                writer.addEntry(entry({}, {}));
            const QByteArray meanwhile = readBytes(root.filePath("Sorvel.xml"));
            if (end)
                (writer.*end)();
            return meanwhile + " -> " + readBytes(root.filePath("Sorvel.xml"));
        };
        QCOMPARE(write(1, &AlbumWriter::abort), QByteArray("headfoot -> head[entry]foot"));
        QCOMPARE(write(0, &AlbumWriter::finish), QByteArray("head[entry]foot -> headfoot"));
        QCOMPARE(write(2, &AlbumWriter::abort), QByteArray("headfoot -> headfoot"));
        QCOMPARE(write(1, nullptr), QByteArray("headfoot -> headfoot"));
        QCOMPARE(QDir(root.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }

    // A start that cannot complete takes away what it put there: a new album
    // is whole or not there at all, and an old one stays as it was.
    void aFailedStartLeavesNoHalfAlbum_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<bool>("albumBefore");
        QTest::newRow("no foot template") << "Sorvel_foot.tpl" << false;
        QTest::newRow("no player") << "Sorvel.js" << false;
        QTest::newRow("no start page") << "Sorvel.html" << false;
        QTest::newRow("no start page, an album there") << "Sorvel.html" << true;
    }

    void aFailedStartLeavesNoHalfAlbum()
    {
        QFETCH(QString, missing);
        QFETCH(bool, albumBefore);
        QTemporaryDir root;
        const QString templates = makeTemplates(root, "head", "[entry]", "foot");
        QVERIFY(QFile::remove(templates + u'/' + missing));
        const QString album = root.filePath("album");
        QVERIFY(QDir().mkpath(album) && (!albumBefore || writeBytes(album + "/Sorvel.xml", "old")));
        AlbumWriter writer(templates);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, writer.start(album, defaultAlbumLayout()));
        QCOMPARE(QDir(album).entryList(QDir::Files | QDir::Hidden),
                 albumBefore ? QStringList{"Sorvel.xml"} : QStringList());
        QCOMPARE(readBytes(album + "/Sorvel.xml"), albumBefore ? QByteArray("old") : QByteArray());
    }

    void templatesPresentWithAnyOfTheThree()
    {
        QTemporaryDir root;
        const QString templates = makeTemplates(root, "h", "l", "f");
        QVERIFY(AlbumWriter(templates).templatesPresent());
        QVERIFY(QFile::remove(templates + "/Sorvel_head.tpl") && QFile::remove(templates + "/Sorvel_foot.tpl"));
        QVERIFY(AlbumWriter(templates).templatesPresent());
        QVERIFY(QFile::remove(templates + "/Sorvel_loop.tpl"));
        QVERIFY(!AlbumWriter(templates).templatesPresent());
        AlbumWriter writer(templates);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, writer.start(root.path(), defaultAlbumLayout()));
        QVERIFY(!QFileInfo::exists(root.filePath("Sorvel.xml")));
    }

    void previewEntriesForTheGrid_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<int>("entries");
        // clang-format off
        QTest::newRow("1 x 1") << "1" << "1" << 2;
        QTest::newRow("10 x 10") << "10" << "10" << 200;
        QTest::newRow("blanks around") << " 3 " << "2" << 12;
        QTest::newRow("no number: no preview") << "two" << "2" << 0;
        // clang-format on
    }

    void previewEntriesForTheGrid()
    {
        QFETCH(QString, rows);
        QFETCH(QString, columns);
        QFETCH(int, entries);
        PreviewFolder folder;
        const AlbumPreview::Result result = folder.preview().write(gridLayout(rows, columns));
        if (entries == 0) {
            QCOMPARE(result.status, AlbumPreview::Status::Failed);
            QVERIFY(!result.failure.isEmpty() && !QFile::exists(folder.prv() + "/Sorvel.xml"));
            return;
        }
        QCOMPARE(result.status, AlbumPreview::Status::Written);
        QCOMPARE(result.pageUrl, "file://" + folder.prv() + "/prv_Index.html");
        QCOMPARE(readBytes(folder.prv() + "/Sorvel.xml"),
                 "<head color=\"0xFF0000\" rows=\"" + rows.toUtf8() + "\"/>\n" + kPreviewLoop.repeated(entries)
                     + "</album>\n");
    }

    void previewOfAReadOnlyProgramFolderGoesToTheCache()
    {
        PreviewFolder folder;
        QFile::setPermissions(folder.prv(), QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(folder.prv()).isWritable())
            QSKIP("the test runs with rights that write into a read-only folder");
        const AlbumPreview::Result result = folder.preview().write(gridLayout("1", "1"));
        QFile::setPermissions(folder.prv(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(result.status, AlbumPreview::Status::Written);
        const QString cached = folder.root.filePath("cache/prv");
        QCOMPARE(result.pageUrl, "file://" + cached + "/prv_Index.html");
        QCOMPARE(QDir(cached).entryList(QDir::Files), (QStringList{"prv_Index.html", "prv_photos.js", "Sorvel.xml"}));
    }

    // The first pictures that decode, at most kMostPictures, in a script the
    // page reads; a name is data, whatever it holds.
    void previewListsTheFirstPicturesThatDecode()
    {
        PreviewFolder folder;
        QStringList pictures{folder.root.filePath("a \"quoted\" <b>.jpg"), folder.root.filePath("broken.jpg")};
        QVERIFY(writeTestJpeg(pictures.first(), {30, 20}) && writeBytes(pictures.last(), "no picture"));
        for (int i = 0; i < AlbumPreview::kMostPictures + 2; ++i) {
            pictures << folder.root.filePath(QStringLiteral("p%1.jpg").arg(i));
            QVERIFY(writeTestJpeg(pictures.last(), {20, 30}));
        }

        QCOMPARE(folder.preview().write(defaultAlbumLayout(), pictures).status, AlbumPreview::Status::Written);
        const QByteArray text = readBytes(folder.prv() + "/prv_photos.js");
        const QJsonArray list = QJsonDocument::fromJson(text.mid(text.indexOf('[')).trimmed().chopped(1)).array();
        QCOMPARE(list.size(), AlbumPreview::kMostPictures);
        QCOMPARE(list.first().toObject().value("name").toString(), QStringLiteral("a \"quoted\" <b>.jpg"));
        QCOMPARE(list.first().toObject().value("width").toInt(), 30);
        QCOMPARE(list.at(1).toObject().value("name").toString(), QStringLiteral("p0.jpg"));
    }
};

QTEST_GUILESS_MAIN(AlbumWriterTest)
#include "tst_albumwriter.moc"
