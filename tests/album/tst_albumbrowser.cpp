// A generated album opened in a real browser, straight from disk.

#include "batchfixture.h"
#include "headlesschromium.h"

#include <QRegularExpression>
#include <QTest>
#include <QUrl>

using namespace tovin;
using tovin::test::BatchFixture;

class AlbumBrowserTest : public QObject
{
    Q_OBJECT

private slots:
    void playerShowsTheFirstSlide();
};

void AlbumBrowserTest::playerShowsTheFirstSlide()
{
    test::HeadlessChromium chromium;
    if (!chromium.isAvailable())
        QSKIP(qPrintable(chromium.errorString()));

    BatchFixture fixture;
    BatchRequest request = fixture.request(BatchMode::ScaleAndAlbum,
                                           {fixture.addPhoto(QString::fromUtf8("Fête & #1.jpg"), {320, 240}),
                                            fixture.addPhoto(QStringLiteral("b.jpg"), {240, 320}),
                                            fixture.addPhoto(QStringLiteral("c.jpg"), {200, 100})});
    request.adjustments.description = QStringLiteral("Tom & Jerry <b>not bold</b> ]]> end");
    QCOMPARE(fixture.run(request), BatchOutcome::Done);

    const QString dom = chromium.dumpDom(QUrl::fromLocalFile(fixture.inDestination(QStringLiteral("index.html"))));
    QVERIFY2(!dom.isEmpty(), qPrintable(chromium.errorString()));
    QVERIFY2(dom.contains(QStringLiteral("data-player=\"ready\"")), qPrintable(dom.left(2000)));
    QVERIFY(dom.contains(QStringLiteral("data-slide-count=\"3\"")));
    QVERIFY(dom.contains(QStringLiteral("data-slide-index=\"0\"")));
    const QRegularExpression slide(QStringLiteral("<img[^>]*id=\"slide\"[^>]*>"));
    const QString slideTag = slide.match(dom).captured();
    QVERIFY2(slideTag.contains(QStringLiteral("slides/F%C3%AAte%20%26%20%231.jpg")), qPrintable(slideTag));
    QVERIFY2(dom.contains(QStringLiteral("Tom &amp; Jerry &lt;b&gt;not bold&lt;/b&gt; ]]&gt; end")),
             "the description must show as typed, as text");
    QCOMPARE(dom.count(QStringLiteral("class=\"thumb\"")), 3);
}

QTEST_GUILESS_MAIN(AlbumBrowserTest)
#include "tst_albumbrowser.moc"
