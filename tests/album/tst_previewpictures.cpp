// The batch window's preview shows the user's own first pictures in place of
// its samples.

#include "albumpreview.h"
#include "headlesschromium.h"
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

class PreviewPicturesTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void listsTheFirstPicturesThatDecode();
    void playerShowsThem();

private:
    QString writePicture(const QString &name, QSize size);

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program;
};

void PreviewPicturesTest::init()
{
    // The preview files as the build installs them beside the program.
    m_root = std::make_unique<QTemporaryDir>();
    m_program = m_root->filePath(QStringLiteral("program"));
    const QString installed = test::builtProgramFolder() + QStringLiteral("/src/prv");
    for (const QString &sub : {QString(), QStringLiteral("/samples")}) {
        QVERIFY(QDir().mkpath(m_program + QStringLiteral("/src/prv") + sub));
        for (const QString &name : QDir(installed + sub).entryList(QDir::Files))
            QVERIFY(
                QFile::copy(installed + sub + u'/' + name, m_program + QStringLiteral("/src/prv") + sub + u'/' + name));
    }
}

QString PreviewPicturesTest::writePicture(const QString &name, QSize size)
{
    const QString path = m_root->filePath(name);
    if (!test::writeTestJpeg(path, size))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void PreviewPicturesTest::listsTheFirstPicturesThatDecode()
{
    QStringList pictures{writePicture(QStringLiteral("a \"quoted\" <b>.jpg"), {30, 20})};
    QFile broken(m_root->filePath(QStringLiteral("broken.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("no picture") > 0);
    broken.close();
    pictures << broken.fileName();
    for (int i = 0; i < AlbumPreview::kMostPictures + 2; ++i)
        pictures << writePicture(QStringLiteral("p%1.jpg").arg(i), {20, 30});

    const AlbumPreview preview(m_program, m_root->filePath(QStringLiteral("cache")));
    QCOMPARE(preview.write(defaultAlbumLayout(), pictures).status, AlbumPreview::Status::Written);
    QFile script(preview.pageFolder() + QStringLiteral("/prv_photos.js"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    const QByteArray text = script.readAll();
    const QByteArray prefix = "window.sorvelPreviewPhotos = ";
    QVERIFY(text.startsWith(prefix) && text.trimmed().endsWith(';'));
    const QJsonArray list = QJsonDocument::fromJson(text.mid(prefix.size()).trimmed().chopped(1)).array();
    QCOMPARE(list.size(), AlbumPreview::kMostPictures);
    QCOMPARE(list.first().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("a \"quoted\" <b>.jpg"));
    QCOMPARE(list.first().toObject().value(QStringLiteral("width")).toInt(), 30);
    QCOMPARE(list.at(1).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("p0.jpg"));
}

void PreviewPicturesTest::playerShowsThem()
{
    test::HeadlessChromium chromium;
    if (!chromium.isAvailable())
        QSKIP(qPrintable(chromium.errorString()));
    const QString picture = writePicture(QStringLiteral("my photo #1.jpg"), {40, 30});
    const AlbumPreview preview(m_program, m_root->filePath(QStringLiteral("cache")));
    QCOMPARE(preview.write(defaultAlbumLayout(), {picture}).status, AlbumPreview::Status::Written);

    chromium.setVirtualTimeBudget(5000);
    const QString dom = chromium.dumpDom(QUrl::fromLocalFile(preview.pageFolder() + QStringLiteral("/Sorvel.xml")));
    QVERIFY2(dom.contains(QStringLiteral("data-player=\"ready\"")), qPrintable(dom.left(2000)));
    QVERIFY2(dom.contains(QUrl::fromLocalFile(picture).toString(QUrl::FullyEncoded)), qPrintable(dom));
    QVERIFY(!dom.contains(QStringLiteral("samples/slide.jpg")));
}

QTEST_GUILESS_MAIN(PreviewPicturesTest)
#include "tst_previewpictures.moc"
