// tovin-batch as a script runs it: exit status, refused input, what it
// prints and what it writes.

#include "batchfixture.h"
#include "imageengine.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <signal.h>

using namespace tovin;

namespace {

struct Finished {
    int status = -1;
    QString errors;
    QString output;
};

} // namespace

class TovinBatchTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void refusesInput_data();
    void refusesInput();
    void exitStatus_data();
    void exitStatus();
    void storedLayoutAndSetValues();
    void printsImageInfo();
    void helpNamesEveryExitStatus();
    void fastOnlyWhenAsked();
    void interruptedRunLeavesAnAlbumThatOpens();

private:
    Finished run(const QStringList &arguments);
    QString path(const QString &relative) const { return m_root->filePath(relative); }

    std::unique_ptr<QTemporaryDir> m_root;
};

void TovinBatchTest::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QDir(m_root->path()).mkpath(QStringLiteral("photos"));
    QDir(m_root->path()).mkpath(QStringLiteral("config"));
    QVERIFY(test::writeTestJpeg(path(QStringLiteral("photos/a.jpg")), {80, 60}));
    QVERIFY(test::writeTestJpeg(path(QStringLiteral("photos/b.JPG")), {100, 60}));
}

Finished TovinBatchTest::run(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(test::builtProgramFolder() + QStringLiteral("/tovin-batch"), arguments);
    if (!process.waitForFinished(60000))
        qFatal("tovin-batch did not finish");
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError()),
            QString::fromLocal8Bit(process.readAllStandardOutput())};
}

// clang-format off
void TovinBatchTest::refusesInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no destination") << QStringList{"photos"} << "--dest is required";
    QTest::newRow("question mark in the destination") << QStringList{"--dest", "out?"} << "--dest:  ' ? ' is an unacceptable character.";
    QTest::newRow("colon in the base name") << QStringList{"--dest", "out", "--name", "a:b"} << "--name:  ' : ' is an unacceptable character.";
    QTest::newRow("width 0") << QStringList{"--dest", "out", "--width", "0"} << "--width: Number must be between 1 and 200.";
    QTest::newRow("contrast 101") << QStringList{"--dest", "out", "--contrast", "101"} << "--contrast: Number must be -100 and 100.";
    QTest::newRow("typed quality 101") << QStringList{"--dest", "out", "--quality", "101"} << "--quality: Value must be between 0 to 100";
    QTest::newRow("unknown filter") << QStringList{"--dest", "out", "--filter", "lanczos"} << "Unknown filter";
    QTest::newRow("slide off the screen") << QStringList{"--dest", "out", "--set", "slide_x=28801"} << "--set slide_x: Value must be between 1 to 28800";
    QTest::newRow("bad colour") << QStringList{"--dest", "out", "--set", "thumb_bg=red"} << "RRGGBB";
    QTest::newRow("unknown field") << QStringList{"--dest", "out", "--set", "slide_z=1"} << "Unknown album field";
    QTest::newRow("description too long") << QStringList{"--dest", "out", "--caption", QString(251, u'x')} << "more than 250 characters";
    QTest::newRow("missing input") << QStringList{"--dest", "out", "nothing-here.jpg"} << "No such file or folder";
    QTest::newRow("device given as a photo") << QStringList{"--dest", "out", "/dev/zero"} << "Not a regular file: /dev/zero";
    QTest::newRow("unknown option") << QStringList{"--dest", "out", "--speed", "fast"} << "Unknown option";
}
// clang-format on

void TovinBatchTest::refusesInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    for (QString &argument : arguments) {
        if (argument == QLatin1String("out"))
            argument = path(QStringLiteral("out"));
    }
    const Finished finished = run(arguments);
    QCOMPARE(finished.status, 2);
    QVERIFY2(finished.errors.contains(message), qPrintable(finished.errors));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("out"))));
}

// clang-format off
void TovinBatchTest::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("standing");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("done") << QStringList{} << "" << 0 << "Done";
    QTest::newRow("asked without a terminal") << QStringList{} << "out/a.jpg" << 3 << "Operation Canceled.";
    QTest::newRow("always replaces") << QStringList{"--overwrite", "always"} << "out/a.jpg" << 0 << "Done";
    QTest::newRow("destination two levels deep") << QStringList{"--dest", "deep/er"} << "" << 1 << "Path not found";
    QTest::newRow("folder at the output path") << QStringList{} << "out/b.JPG/" << 1 << "Path/File access error: ROOT/out/b.JPG";
    QTest::newRow("a photo that is no picture") << QStringList{} << "photos/c.jpg" << 4 << "ROOT/photos/c.jpg: cannot be read or decoded";
}
// clang-format on

void TovinBatchTest::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, standing);
    QFETCH(int, status);
    QFETCH(QString, lastLine);
    QDir(m_root->path()).mkdir(QStringLiteral("out"));
    if (standing.endsWith(u'/'))
        QVERIFY(QDir(m_root->path()).mkdir(standing));
    else if (standing.startsWith(QLatin1String("out")))
        QVERIFY(test::writeTestJpeg(path(standing), {5, 5}));
    else if (!standing.isEmpty())
        QVERIFY(QFile(path(standing)).open(QIODevice::WriteOnly));
    QStringList all{QStringLiteral("--dest"), path(QStringLiteral("out")), QStringLiteral("--width"),
                    QStringLiteral("50"),     QStringLiteral("--height"),  QStringLiteral("50")};
    for (const QString &argument : arguments)
        all << (argument == QLatin1String("deep/er") ? path(argument) : argument);
    all << path(QStringLiteral("photos"));

    const Finished finished = run(all);
    QCOMPARE(finished.status, status);
    lastLine.replace(QStringLiteral("ROOT"), m_root->path());
    QVERIFY2(finished.errors.trimmed().endsWith(lastLine), qPrintable(finished.errors));
    if (status == 0) {
        QVERIFY(finished.errors.startsWith(QStringLiteral("Scaling: a.jpg\nScaling: b.JPG\n")));
        QCOMPARE(imageFileSize(path(QStringLiteral("out/a.jpg")), kFormatJpeg), QSize(40, 30));
        QCOMPARE(imageFileSize(path(QStringLiteral("out/b.JPG")), kFormatJpeg), QSize(50, 30));
    }
}

void TovinBatchTest::storedLayoutAndSetValues()
{
    // What the batch window stored is used where --set says nothing.
    QSettings stored(path(QStringLiteral("config/Tovin/Tovin_en.ini")), QSettings::IniFormat);
    stored.setValue(QStringLiteral("Startup/Sorvel/thumb_r"), QStringLiteral("3"));
    stored.setValue(QStringLiteral("Startup/Sorvel/slide_b"), QStringLiteral("255"));
    stored.sync();

    const Finished finished =
        run({QStringLiteral("--dest"), path(QStringLiteral("album")), QStringLiteral("--mode"),
             QStringLiteral("album-only"), QStringLiteral("--set"), QStringLiteral("thumb_bg=00FF80"),
             QStringLiteral("--caption"), QStringLiteral("Fish & <chips>"), path(QStringLiteral("photos"))});
    QCOMPARE(finished.status, 0);
    const QByteArray album = test::fileContents(path(QStringLiteral("album/Sorvel.xml")));
    QVERIFY(album.contains("<span data-field=\"thumb_r\"><![CDATA[3]]></span>"));
    QVERIFY(album.contains("<span data-field=\"slide_bg\"><![CDATA[0xFF0000]]></span>"));
    QVERIFY(album.contains("<span data-field=\"thumb_bg\"><![CDATA[0x00FF80]]></span>"));
    QVERIFY(album.contains("<span data-field=\"thumb_c\"><![CDATA[2]]></span>"));
    const QList<QStringList> entries = test::albumEntries(path(QStringLiteral("album/Sorvel.xml")));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.first().last(), QStringLiteral("Fish & <chips>"));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("album/thumbs/a.jpg"))));
}

void TovinBatchTest::printsImageInfo()
{
    Finished finished = run({QStringLiteral("--info"), path(QStringLiteral("photos/a.jpg"))});
    QCOMPARE(finished.status, 0);
    QVERIFY(finished.output.endsWith(QStringLiteral("Dimensions: (80 x 60)\n")));
    finished = run({QStringLiteral("--info"), path(QStringLiteral("photos/none.jpg"))});
    QCOMPARE(finished.status, 1);
    QCOMPARE(finished.errors.trimmed(),
             QStringLiteral("Error! (# 53): File not found: ") + path(QStringLiteral("photos/none.jpg")));
}

void TovinBatchTest::helpNamesEveryExitStatus()
{
    const Finished finished = run({QStringLiteral("--help")});
    QCOMPARE(finished.status, 0);
    QVERIFY2(finished.output.contains(QStringLiteral("4 finished, but some images were not written.")),
             qPrintable(finished.output));
}

// --fast gives the same files and sizes from other pixels; what the batch
// window stored never turns it on.
void TovinBatchTest::fastOnlyWhenAsked()
{
    const auto scaleInto = [this](const QString &folder, const QStringList &extra) {
        return run(QStringList{QStringLiteral("--dest"), path(folder), QStringLiteral("--width"), QStringLiteral("50"),
                               QStringLiteral("--height"), QStringLiteral("50")}
                   + extra + QStringList{path(QStringLiteral("photos"))})
            .status;
    };
    QCOMPARE(scaleInto(QStringLiteral("before"), {}), 0);
    QSettings stored(path(QStringLiteral("config/Tovin/Tovin_en.ini")), QSettings::IniFormat);
    stored.setValue(QStringLiteral("Startup/fastReduction"), QStringLiteral("1"));
    stored.sync();
    QCOMPARE(scaleInto(QStringLiteral("exact"), {}), 0);
    QCOMPARE(scaleInto(QStringLiteral("fast"), {QStringLiteral("--fast")}), 0);

    const QStringList names = QDir(path(QStringLiteral("exact"))).entryList(QDir::Files);
    QCOMPARE(names, QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.JPG")}));
    QCOMPARE(QDir(path(QStringLiteral("fast"))).entryList(QDir::Files), names);
    for (const QString &name : names) {
        const QByteArray exact = test::fileContents(path(QStringLiteral("exact/") + name));
        const QByteArray fast = test::fileContents(path(QStringLiteral("fast/") + name));
        QCOMPARE(exact, test::fileContents(path(QStringLiteral("before/") + name)));
        QVERIFY(fast != exact);
        QCOMPARE(imageFileSize(path(QStringLiteral("fast/") + name), kFormatJpeg),
                 imageFileSize(path(QStringLiteral("exact/") + name), kFormatJpeg));
    }
    QVERIFY(run({QStringLiteral("--help")}).output.contains(QStringLiteral("[--fast]")));
}

// Ctrl+C stops the run at the next image; the album it created is closed
// with its foot, so that it opens with the entries written so far.
void TovinBatchTest::interruptedRunLeavesAnAlbumThatOpens()
{
    for (int i = 0; i < 40; ++i)
        QVERIFY(test::writeTestJpeg(path(QStringLiteral("photos/many%1.jpg").arg(i, 2, 10, QChar(u'0'))), {900, 600}));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    process.setProcessEnvironment(environment);
    process.setReadChannel(QProcess::StandardError);
    process.start(test::builtProgramFolder() + QStringLiteral("/tovin-batch"),
                  {QStringLiteral("--dest"), path(QStringLiteral("album")), QStringLiteral("--mode"),
                   QStringLiteral("album"), QStringLiteral("--width"), QStringLiteral("50"), QStringLiteral("--jobs"),
                   QStringLiteral("1"), path(QStringLiteral("photos"))});
    QByteArray errors;
    while (errors.count("Scaling: ") < 3 && process.waitForReadyRead(30000))
        errors += process.readAllStandardError();
    QVERIFY2(errors.count("Scaling: ") >= 3, errors.constData());
    ::kill(pid_t(process.processId()), SIGINT);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 3);

    const QString album = path(QStringLiteral("album/Sorvel.xml"));
    QXmlStreamReader xml(test::fileContents(album));
    while (!xml.atEnd())
        xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    const qsizetype entries = test::albumEntries(album).size();
    QVERIFY(entries >= 2 && entries < 42);
    QCOMPARE(QDir(path(QStringLiteral("album/thumbs"))).entryList(QDir::Files | QDir::Hidden).size(), entries);
}

QTEST_GUILESS_MAIN(TovinBatchTest)
#include "tst_tovinbatch.moc"
