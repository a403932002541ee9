// The preview album the batch window shows.

#include "albumpreview.h"
#include "albumwriter.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;

namespace {

const QByteArray kHead = "<head color=\"#SLIDE_FRAME_BACKGROUND_COLOR#\" rows=\"#THUMB_FRAME_ROW#\"/>\n";
const QByteArray kLoop = "<entry src=\"#THUMB_SRC#\"/>\n";
const QByteArray kFoot = "</album>\n";

// A program folder with the preview templates and a page beside them.
struct PreviewFolder {
    QTemporaryDir root;
    QString program() const { return root.filePath(QStringLiteral("program")); }
    QString cache() const { return root.filePath(QStringLiteral("cache")); }
    QString prv() const { return program() + QStringLiteral("/src/prv"); }

    explicit PreviewFolder(bool withTemplates = true)
    {
        QDir().mkpath(prv());
        test::writeBytes(prv() + QStringLiteral("/prv_Index.html"), "<iframe src=\"Sorvel.xml\"></iframe>");
        if (withTemplates) {
            test::writeBytes(prv() + QStringLiteral("/prv_Sorvel_head.tpl"), kHead);
            test::writeBytes(prv() + QStringLiteral("/prv_Sorvel_loop.tpl"), kLoop);
            test::writeBytes(prv() + QStringLiteral("/prv_Sorvel_foot.tpl"), kFoot);
        }
    }
};

AlbumLayout gridLayout(const QString &rows, const QString &columns)
{
    AlbumLayout layout = defaultAlbumLayout();
    layout.fields[QStringLiteral("thumb_r")] = rows;
    layout.fields[QStringLiteral("thumb_c")] = columns;
    layout.swatches[QStringLiteral("slide_bg")] = 255;
    return layout;
}

} // namespace

class AlbumPreviewTest : public QObject
{
    Q_OBJECT

private slots:
    // clang-format off
    void entriesForTheGrid_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<int>("entries");
        QTest::newRow("2 x 2") << "2" << "2" << 8;
        QTest::newRow("1 x 1") << "1" << "1" << 2;
        QTest::newRow("10 x 10") << "10" << "10" << 200;
        QTest::newRow("blanks around") << " 3 " << "2" << 12;
    }
    // clang-format on

    void entriesForTheGrid()
    {
        QFETCH(QString, rows);
        QFETCH(QString, columns);
        QFETCH(int, entries);
        PreviewFolder folder;
        const AlbumPreview preview(folder.program(), folder.cache());
        const AlbumPreview::Result result = preview.write(gridLayout(rows, columns));

        QCOMPARE(result.status, AlbumPreview::Status::Written);
        QCOMPARE(result.pageUrl, QStringLiteral("file://") + folder.prv() + QStringLiteral("/prv_Index.html"));
        const QByteArray head = "<head color=\"0xFF0000\" rows=\"" + rows.toUtf8() + "\"/>\n";
        QCOMPARE(test::readBytes(folder.prv() + QStringLiteral("/Sorvel.xml")), head + kLoop.repeated(entries) + kFoot);
    }

    void nothingWrittenWithoutAGridOrTemplates()
    {
        PreviewFolder folder;
        AlbumPreview::Result result = AlbumPreview(folder.program(), folder.cache())
                                          .write(gridLayout(QStringLiteral("two"), QStringLiteral("2")));
        QCOMPARE(result.status, AlbumPreview::Status::Failed);
        QVERIFY(!result.failure.isEmpty());
        QVERIFY(!QFile::exists(folder.prv() + QStringLiteral("/Sorvel.xml")));

        PreviewFolder bare(false);
        result = AlbumPreview(bare.program(), bare.cache()).write(gridLayout(QStringLiteral("2"), QStringLiteral("2")));
        QCOMPARE(result.status, AlbumPreview::Status::TemplatesMissing);
        QCOMPARE(QDir(bare.prv()).entryList(QDir::Files), QStringList{QStringLiteral("prv_Index.html")});
    }

    void readOnlyProgramFolderUsesTheCache()
    {
        PreviewFolder folder;
        QFile::setPermissions(folder.prv(), QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(folder.prv()).isWritable())
            QSKIP("the test runs with rights that write into a read-only folder");
        const AlbumPreview preview(folder.program(), folder.cache());
        const AlbumPreview::Result result = preview.write(gridLayout(QStringLiteral("1"), QStringLiteral("1")));
        QFile::setPermissions(folder.prv(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(result.status, AlbumPreview::Status::Written);
        const QString cached = folder.cache() + QStringLiteral("/prv");
        QCOMPARE(result.pageUrl, QStringLiteral("file://") + cached + QStringLiteral("/prv_Index.html"));
        QCOMPARE(QDir(cached).entryList(QDir::Files),
                 (QStringList{QStringLiteral("Sorvel.xml"), QStringLiteral("prv_Index.html")}));
    }
};

QTEST_GUILESS_MAIN(AlbumPreviewTest)
#include "tst_albumpreview.moc"
