// The album writer: token replacement, values no XML text can hold, and what
// an album that ends early leaves behind.

#include "albumlayout.h"
#include "albumwriter.h"
#include "batchfixture.h"
#include "runtimeerror.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace tovin;

namespace {

// Template files of a test's own, and the album's fixed files beside them.
QString makeTemplates(const QTemporaryDir &root, const QByteArray &head, const QByteArray &loop, const QByteArray &foot)
{
    const QString folder = root.filePath(QStringLiteral("templates"));
    QDir().mkpath(folder);
    bool written = test::writeBytes(folder + QStringLiteral("/Sorvel_head.tpl"), head)
        && test::writeBytes(folder + QStringLiteral("/Sorvel_loop.tpl"), loop)
        && test::writeBytes(folder + QStringLiteral("/Sorvel_foot.tpl"), foot);
    for (const char *name : {"Sorvel.js", "Sorvel.html", "next_button.jpg", "back_button.jpg"})
        written = written && test::writeBytes(folder + u'/' + QLatin1String(name), name);
    return written ? folder : QString();
}

AlbumEntry entry(const QString &date, const QString &description)
{
    return {QStringLiteral("a.jpg"), 10, 20, 30, 40, date, description};
}

} // namespace

class AlbumWriterTest : public QObject
{
    Q_OBJECT

private slots:
    // clang-format off
    void replacesInOrder_data()
    {
        QTest::addColumn<QString>("loop");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("written");
        QTest::newRow("a date token in a description stays") << "#DATE#|#DESCRIPTION#" << "d" << "see #DATE#" << "d|see #DATE#";
        QTest::newRow("a description token in a date is replaced") << "#DATE#|#DESCRIPTION#" << "x#DESCRIPTION#" << "y" << "xy|y";
        QTest::newRow("a token twice") << "#THUMB_WIDTH#,#THUMB_WIDTH#" << "" << "" << "10,10";
        QTest::newRow("letter case must match") << "#thumb_width#,#Date#" << "" << "" << "#thumb_width#,#Date#";
        QTest::newRow("no token at all") << "<plain/>" << "d" << "e" << "<plain/>";
        QTest::newRow("all eight") << "#THUMB_SRC# #SLIDE_SRC# #THUMB_WIDTH# #THUMB_HEIGHT# #SLIDE_WIDTH# " "#SLIDE_HEIGHT# #DATE# #DESCRIPTION#" << "d" << "e" << "./thumbs/a.jpg ./slides/a.jpg 10 20 30 40 d e";
        QTest::newRow("markup characters as they stand") << "#DESCRIPTION#" << "" << "a & b < c \"q\"" << "a & b < c \"q\"";
    }
    // clang-format on

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
        QCOMPARE(QString::fromUtf8(test::fileContents(root.filePath(QStringLiteral("Sorvel.xml")))),
                 QStringLiteral("H|") + written + QStringLiteral("|F"));
    }

    void headValues()
    {
        AlbumLayout layout = defaultAlbumLayout();
        layout.fields[QStringLiteral("thumb_r")] = QStringLiteral(" 5 ");
        layout.swatches[QStringLiteral("thumb_bg")] = 0x0000FF;
        layout.swatches[QStringLiteral("slide_ln")] = 0x123456;
        layout.swatches[QStringLiteral("caption_bg")] = -1;
        const QList<QPair<QString, QString>> head = headReplacements(layout);
        QCOMPARE(head.size(), 25);
        QCOMPARE(head.first(), qMakePair(QStringLiteral("#THUMB_FRAME_X_POSITION#"), QStringLiteral("750")));
        QCOMPARE(head.at(6), qMakePair(QStringLiteral("#THUMB_FRAME_ROW#"), QStringLiteral(" 5 ")));
        QCOMPARE(head.at(9), qMakePair(QStringLiteral("#THUMB_FRAME_BACKGROUND_COLOR#"), QStringLiteral("0xFF0000")));
        QCOMPARE(head.at(14), qMakePair(QStringLiteral("#SLIDE_FRAME_BORDER_COLOR#"), QStringLiteral("0x563412")));
        QCOMPARE(head.last(), qMakePair(QStringLiteral("#TEXT_FRAME_BACKGROUND_COLOR#"), QStringLiteral("0x")));
    }

    // Through the shipped templates, whatever a description holds (the end
    // of a CDATA section, markup, control characters, letters beyond the
    // basic plane), the album stays a well-formed document that reads back
    // what was typed.
    void valuesThatXmlCannotHold()
    {
        const QList<std::pair<QString, QString>> typedAndShown{
            {"a ]]> b", "a ]]> b"},
            {"]]>]]>", "]]>]]>"},
            {"<b>x</b> & <!-- y -->", "<b>x</b> & <!-- y -->"},
            {QStringLiteral("a\x01\x08\x0B\x0C\x1F b\tc\nd"), "a b\tc\nd"},
            {QString::fromUtf8("Fuji 🗻 ü"), QString::fromUtf8("Fuji 🗻 ü")}};
        QTemporaryDir root;
        AlbumWriter writer(test::builtProgramFolder() + QStringLiteral("/src/sorv"));
        writer.start(root.path(), defaultAlbumLayout());
        for (const auto &[typed, shown] : typedAndShown)
            writer.addEntry(entry(typed, typed));
        writer.finish();

        const QString album = root.filePath(QStringLiteral("Sorvel.xml"));
        QXmlStreamReader xml(test::fileContents(album));
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        const QList<QStringList> entries = test::albumEntries(album);
        QCOMPARE(entries.size(), typedAndShown.size());
        for (qsizetype i = 0; i < entries.size(); ++i)
            QCOMPARE(entries.at(i).mid(6, 2), QStringList(2, typedAndShown.at(i).second));
    }

    void unfinishedAlbumNeverReplacesAFinishedOne()
    {
        QTemporaryDir root;
        const QString templates = makeTemplates(root, "head", "[entry]", "foot");
        const QString album = root.filePath(QStringLiteral("Sorvel.xml"));
        {
            AlbumWriter writer(templates);
            writer.start(root.path(), defaultAlbumLayout());
            writer.addEntry(entry({}, {}));
            writer.abort();
        }
        // Where no album stood, the unfinished one is kept as far as it got,
        // closed with its foot so that it opens.
        QCOMPARE(test::fileContents(album), QByteArray("head[entry]foot"));
        {
            AlbumWriter writer(templates);
            writer.start(root.path(), defaultAlbumLayout());
            writer.finish();
        }
        QCOMPARE(test::fileContents(album), QByteArray("headfoot"));
        {
            AlbumWriter writer(templates);
            writer.start(root.path(), defaultAlbumLayout());
            writer.addEntry(entry({}, {}));
        }
        QCOMPARE(test::fileContents(album), QByteArray("headfoot"));
        QCOMPARE(QDir(root.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }

    void templatesPresentWithAnyOfTheThree()
    {
        QTemporaryDir root;
        const QString templates = makeTemplates(root, "h", "l", "f");
        QVERIFY(AlbumWriter(templates).templatesPresent());
        QFile::remove(templates + QStringLiteral("/Sorvel_head.tpl"));
        QFile::remove(templates + QStringLiteral("/Sorvel_foot.tpl"));
        QVERIFY(AlbumWriter(templates).templatesPresent());
        QFile::remove(templates + QStringLiteral("/Sorvel_loop.tpl"));
        QVERIFY(!AlbumWriter(templates).templatesPresent());
        AlbumWriter writer(templates);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, writer.start(root.path(), defaultAlbumLayout()));
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("Sorvel.xml"))));
    }
};

QTEST_GUILESS_MAIN(AlbumWriterTest)
#include "tst_albumwriter.moc"
