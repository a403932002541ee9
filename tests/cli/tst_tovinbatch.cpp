// tovin-batch as a script runs it: exit status, refused input, what it
// prints and what it writes.

#include "batchfixture.h"
#include "cameraphotos.h"
#include "colourprofile.h"
#include "jpegrecipes.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

using namespace tovin;
using namespace tovin::test;

class TovinBatchTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    QString m_errors;
    QString m_output;

    QString path(const QString &relative) const { return m_root->filePath(relative); }

    // Starts the program with settings of the test's own and no terminal.
    void start(QProcess &process, const QStringList &arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", path("config"));
        process.setProcessEnvironment(environment);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(builtProgramFolder() + "/tovin-batch", arguments);
    }

    // The exit status; what the program printed goes to m_errors and m_output.
    int run(const QStringList &arguments)
    {
        QProcess process;
        start(process, arguments);
        if (!process.waitForFinished(60000))
            qFatal("tovin-batch did not finish");
        m_errors = QString::fromLocal8Bit(process.readAllStandardError());
        m_output = QString::fromLocal8Bit(process.readAllStandardOutput());
        return process.exitCode();
    }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_root->path()).mkpath("photos") && QDir(m_root->path()).mkpath("config"));
        QVERIFY(writeTestJpeg(path("photos/a.jpg"), {80, 60}) && writeTestJpeg(path("photos/b.JPG"), {100, 60}));
    }

    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("standing");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("printed");
        // clang-format off
        // Refused input writes nothing; options go through the windows' checks.
        QTest::newRow("no destination") << "PHOTOS" << "" << 2 << "--dest is required";
        QTest::newRow("colon in the name") << "--dest OUT --name a:b" << "" << 2 << "--name:  ' : ' is an unacceptable";
        QTest::newRow("slide x") << "--dest OUT --set slide_x=28801" << "" << 2 << "--set slide_x: Value must be";
        QTest::newRow("unknown filter") << "--dest OUT --filter lanczos" << "" << 2 << "Unknown filter";
        QTest::newRow("bad colour") << "--dest OUT --set thumb_bg=red" << "" << 2 << "RRGGBB";
        QTest::newRow("unknown field") << "--dest OUT --set slide_z=1" << "" << 2 << "Unknown album field";
        QTest::newRow("caption 251") << "--dest OUT --caption " + QString(251, u'x') << "" << 2 << "250 characters";
        QTest::newRow("missing input") << "--dest OUT nothing-here.jpg" << "" << 2 << "No such file or folder";
        QTest::newRow("device as a photo") << "--dest OUT /dev/zero" << "" << 2 << "Not a regular file: /dev/zero";
        QTest::newRow("slides too small") << "--dest OUT --slides fit:319" << "" << 2 << "from 320 to 8192";
        // The exit status tells how a run ended; the last line says it.
        QTest::newRow("done") << "--dest OUT PHOTOS" << "" << 0 << "Scaling: a.jpg\nScaling: b.JPG\nDone";
        QTest::newRow("asked without a terminal") << "--dest OUT PHOTOS" << "out/a.jpg" << 3 << "Operation Canceled.";
        QTest::newRow("always replaces") << "--dest OUT --overwrite always PHOTOS" << "out/a.jpg" << 0 << "Done";
        QTest::newRow("folder at the output") << "--dest OUT PHOTOS" << "out/b.JPG/" << 1 << "access error: OUT/b.JPG";
        QTest::newRow("no picture") << "--dest OUT PHOTOS" << "photos/c.jpg" << 4 << "c.jpg: cannot be read or decoded";
        QTest::newRow("image information") << "--info PHOTOS/a.jpg" << "" << 0
                                           << "Dimensions: (80 x 60)\nColour Profile: none\nLocation: none";
        QTest::newRow("no file") << "--info PHOTOS/none.jpg" << "" << 1 << "(# 53): File not found: PHOTOS/none.jpg";
        // clang-format on
    }

    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QString, standing);
        QFETCH(int, status);
        QFETCH(QString, printed);
        const auto expand = [this](QString text) {
            return text.replace("OUT", path("out")).replace("PHOTOS", path("photos"));
        };
        if (standing.endsWith(u'/'))
            QVERIFY(QDir().mkpath(path(standing)));
        else if (!standing.isEmpty())
            QVERIFY(QDir().mkpath(path("out"))
                    && (standing.startsWith("out") ? writeTestJpeg(path(standing), {5, 5})
                                                   : writeBytes(path(standing), "no")));
        QCOMPARE(run(expand(command).split(u' ')), status);
        const QString said = (status == 0 && !command.startsWith("--dest") ? m_output : m_errors);
        QVERIFY2(status == 2 ? said.contains(expand(printed)) : said.trimmed().endsWith(expand(printed)),
                 qPrintable(said));
        QVERIFY(status != 2 || !QFileInfo::exists(path("out")));
    }

    // A file that is there but holds no picture is named on the error channel
    // with the reason a run gives for it, and exits as a run that passed an
    // image over.
    void infoOnAFileWithoutAPicture_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QByteArray photo = encodeJpeg({});
        QTest::newRow("text") << QByteArray("Dimensions: none, just words\n");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("JPEG cut inside its header") << photo.left(100);
        QTest::newRow("garbage after the start marker") << QByteArray("\xFF\xD8") + QByteArray(400, '\x5A');
        QTest::newRow("HEIC photo named .jpg") << QByteArray("\0\0\0\x18"
                                                             "ftypheic\0\0\0\0mif1heic",
                                                             24);
    }

    void infoOnAFileWithoutAPicture()
    {
        QFETCH(QByteArray, content);
        const QString file = path("photos/photo.jpg");
        QVERIFY(writeBytes(file, content));
        QCOMPARE(run({"--info", file}), 4);
        QCOMPARE(m_errors, file + ": cannot be read or decoded\n");
        QCOMPARE(m_output, QString());
    }

    // What the batch window stored is used where --set says nothing, but it
    // never turns on --fast, which gives the same sizes from other pixels.
    void storedSettingsAndFast()
    {
        QSettings stored(path("config/Tovin/Tovin_en.ini"), QSettings::IniFormat);
        stored.setValue("Startup/Sorvel/slide_b", "255");
        stored.setValue("Startup/fastReduction", "1");
        stored.sync();
        QCOMPARE(run({"--dest", path("album"), "--mode", "album-only", "--set", "thumb_bg=00FF80", "--caption",
                      "Fish & <chips>", path("photos")}),
                 0);
        const QByteArray album = readBytes(path("album/Sorvel.xml"));
        QVERIFY(album.contains("<span data-field=\"slide_bg\"><![CDATA[0xFF0000]]></span>"));
        QVERIFY(album.contains("<span data-field=\"thumb_bg\"><![CDATA[0x00FF80]]></span>"));
        const QList<QStringList> entries = albumEntries(path("album/Sorvel.xml"));
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.first().last(), QStringLiteral("Fish & <chips>"));
        QVERIFY(!QFileInfo::exists(path("album/thumbs/a.jpg")));

        QCOMPARE(run({"--dest", path("exact"), "--width", "50", "--height", "50", path("photos")}), 0);
        QCOMPARE(run({"--dest", path("fast"), "--width", "50", "--height", "50", "--fast", path("photos")}), 0);
        QCOMPARE(jpegSize(path("exact/b.JPG")), QSize(50, 30));
        QCOMPARE(jpegSize(path("fast/b.JPG")), QSize(50, 30));
        QVERIFY(readBytes(path("fast/b.JPG")) != readBytes(path("exact/b.JPG")));
    }

    // Private data goes unless --keep-private says otherwise, whatever the
    // window stored; slides fit as --slides says; --info names what goes.
    void publishingOptions()
    {
        QSettings stored(path("config/Tovin/Tovin_en.ini"), QSettings::IniFormat);
        stored.setValue("Startup/removePrivateData", "0");
        stored.sync();
        QVERIFY(QDir().mkpath(path("trip"))
                && writeCameraPhoto(path("trip/camera.jpg"), {900, 600}, adobeRgbProfile()));
        QCOMPARE(run({"--info", path("trip/camera.jpg")}), 0);
        QVERIFY(m_output.endsWith("Colour Profile: Adobe RGB (1998)\nLocation: GPS position\n"));

        QCOMPARE(run({"--dest", path("album"), "--mode", "album", "--width", "20", "--height", "20", "--slides",
                      "fit:320", "--srgb", path("trip")}),
                 0);
        QCOMPARE(jpegSize(path("album/slides/camera.jpg")), QSize(320, 213));
        QCOMPARE(albumEntries(path("album/Sorvel.xml")).first().mid(2, 4), QStringList({"180", "120", "320", "213"}));
        for (const QString &written : {path("album/slides/camera.jpg"), path("album/thumbs/camera.jpg")}) {
            QVERIFY(metadataKeys(written).filter("GPS").isEmpty());
            QCOMPARE(colourProfileName(colourProfileOfFile(written)), QStringLiteral("sRGB IEC61966-2.1"));
        }
        QCOMPARE(run({"--dest", path("kept"), "--keep-private", path("trip")}), 0);
        QVERIFY(!metadataKeys(path("kept/camera.jpg")).filter("GPS").isEmpty());
    }

    // Ctrl+C stops the run: the album it made opens with the entries so far.
    // A kill leaves the empty album the run began with, and the temporary
    // files of its images until the next run into the folder.
    void interruptedRunLeavesAnAlbumThatOpens_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl+C") << int(SIGINT);
        QTest::newRow("kill -9") << int(SIGKILL);
    }

    void interruptedRunLeavesAnAlbumThatOpens()
    {
        QFETCH(int, signal);
        for (int i = 0; i < 40; ++i)
            QVERIFY(writeTestJpeg(path(QStringLiteral("photos/many%1.jpg").arg(i, 2, 10, QChar(u'0'))), {900, 600}));
        QProcess process;
        process.setReadChannel(QProcess::StandardError);
        const QStringList arguments{"--dest", path("album"), "--mode", "album",       "--width",
                                    "50",     "--overwrite", "always", path("photos")};
        start(process, arguments + QStringList{"--jobs", "2"});
        QByteArray errors;
        while (errors.count("Scaling: ") < 3 && process.waitForReadyRead(30000))
            errors += process.readAllStandardError();
        QVERIFY2(errors.count("Scaling: ") >= 3, errors.constData());
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), signal == SIGINT ? QProcess::NormalExit : QProcess::CrashExit);

        QVERIFY(isWellFormedXml(readBytes(path("album/Sorvel.xml"))));
        for (const QString &name : kFixedAlbumFiles)
            QVERIFY(QFileInfo::exists(path("album/") + name));
        const qsizetype entries = albumEntries(path("album/Sorvel.xml")).size();
        if (signal == SIGINT) {
            QCOMPARE(process.exitCode(), 3);
            QVERIFY(entries >= 2 && entries < 42);
            QCOMPARE(QDir(path("album/thumbs")).entryList(QDir::Files | QDir::Hidden).size(), entries);
            return;
        }
        QCOMPARE(entries, 0);
        QCOMPARE(run(arguments), 0);
        QCOMPARE(albumEntries(path("album/Sorvel.xml")).size(), 42);
        for (const char *folder : {"album", "album/thumbs", "album/slides"})
            QCOMPARE(QDir(path(folder)).entryList({"*.part*"}, QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TovinBatchTest)
#include "tst_tovinbatch.moc"
