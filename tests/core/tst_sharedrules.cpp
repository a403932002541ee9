// Rules every part of the program shares: rounding, 16-bit ranges, numbers
// typed as text, paths, copying only regular files, colour texts.

#include "fileio.h"
#include "numbertext.h"
#include "paths.h"
#include "platformcolor.h"
#include "runtimeerror.h"

#include <tovin/numeric.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>

using namespace tovin;

class SharedRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void roundsHalfToEven()
    {
        for (auto [value, rounded] : {std::pair(2.5, 2.0), {3.5, 4.0}, {-3.5, -4.0}, {4.52, 5.0}})
            QCOMPARE(roundHalfEven(value), rounded);
    }

    // Half below the bottom rounds back in; half above the top does not.
    void int16Range()
    {
        for (auto [value, converted] : {std::pair(32767.0, std::optional<int>(32767)),
                                        {32767.5, std::nullopt},
                                        {-32768.5, -32768},
                                        {-32769.0, std::nullopt}}) {
            try {
                QCOMPARE(std::optional<int>(toInt16(value)), converted);
            } catch (const RuntimeError &error) {
                QVERIFY2(!converted, qPrintable(QString::number(value)));
                QCOMPARE(QStringLiteral("%1 %2").arg(error.number()).arg(error.description()),
                         QStringLiteral("6 Overflow"));
            }
        }
    }

    void numberTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("number");
        QTest::newRow("whole") << "85" << std::optional<double>(85);
        QTest::newRow("blanks and sign") << "  -100 " << std::optional<double>(-100);
        QTest::newRow("leading point") << ".5" << std::optional<double>(0.5);
        QTest::newRow("exponent") << "25E-1" << std::optional<double>(2.5);
        for (const char *refused : {"", "8a", "1 2", "1,5", ".", "inf", "1e999"})
            QTest::newRow(*refused ? refused : "empty") << refused << std::optional<double>();
    }

    void numberTexts()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, number);
        QCOMPARE(parseNumberText(text), number);
        if (!number)
            QVERIFY_THROWS_EXCEPTION(RuntimeError, textToDouble(text));
    }

    // Runs of separators collapse, a dot-dot stays.
    void joinsPaths()
    {
        for (auto [folder, joined] : {std::pair("/photos/out", "/photos/out/a.jpg"),
                                      {"/photos/out/", "/photos/out/a.jpg"},
                                      {"/", "/a.jpg"},
                                      {"/photos///../out//", "/photos/../out/a.jpg"}}) {
            QCOMPARE(joinPath(QLatin1String(folder), QStringLiteral("a.jpg")), QLatin1String(joined));
            QCOMPARE(fileNameOf(QLatin1String(joined)), QStringLiteral("a.jpg"));
            QCOMPARE(trimBlanks(QStringLiteral(" \t%1  ").arg(folder)), QStringLiteral("\t%1").arg(folder));
        }
    }

    // A device or a FIFO named like a photo can neither fill the disk nor
    // hang the copy; the failure names the file.
    void onlyRegularFilesAreCopied_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("number");
        QTest::newRow("link to /dev/zero") << "zero" << 75;
        QTest::newRow("FIFO without a writer") << "fifo" << 75;
        QTest::newRow("folder") << "folder" << 75;
        QTest::newRow("missing") << "missing" << 53;
    }

    void onlyRegularFilesAreCopied()
    {
        QFETCH(QString, kind);
        QTemporaryDir root;
        const QString source = root.filePath(QStringLiteral("photo.jpg"));
        const QByteArray name = QFile::encodeName(source);
        if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), source));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(name.constData(), 0644), 0);
        if (kind == QLatin1String("folder"))
            QCOMPARE(::mkdir(name.constData(), 0755), 0);
        const QString copy = root.filePath(QStringLiteral("copy.jpg"));
        try {
            copyFileReplacing(source, copy);
            QFAIL("the copy was made");
        } catch (const RuntimeError &error) {
            QTEST(error.number(), "number");
            QCOMPARE(error.file(), source);
        }
        QVERIFY(!QFile::exists(copy));
    }

    void colorTexts()
    {
        for (auto [color, hex] : {std::pair(0x0000FF, "FF0000"), {0x123456, "563412"}}) {
            QCOMPARE(ColorToHexRGB(color), QLatin1String(hex));
            QCOMPARE(colorFromHexRGB(QLatin1String(hex)), std::optional<std::int32_t>(color));
            QCOMPARE(colorFromHexRGB(QString::fromLatin1(hex).toLower()), std::optional<std::int32_t>(color));
        }
        QCOMPARE(ColorToHexRGB(-1), QString());
        QCOMPARE(colorFromHexRGB(QStringLiteral("FF00")), std::nullopt);
        QCOMPARE(colorFromHexRGB(QStringLiteral("GG0000")), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(SharedRulesTest)
#include "tst_sharedrules.moc"
