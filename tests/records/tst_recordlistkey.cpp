// The Record List's key derivation against published vectors and OpenSSL.

#include "recordlistkey.h"

#include <QTest>

#include <openssl/evp.h>

using namespace tovin;

class RecordListKeyTest : public QObject
{
    Q_OBJECT

private slots:
    void matchesPublishedVectors_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<QByteArray>("expected");
        // RFC 6070, but for its 16,777,216-round case.
        // clang-format off
        QTest::newRow("1 round") << QByteArray("password") << QByteArray("salt") << 1
                                 << QByteArray("0c60c80f961f0e71f3a9b524af6012062fe037a6");
        QTest::newRow("2 rounds") << QByteArray("password") << QByteArray("salt") << 2
                                  << QByteArray("ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957");
        QTest::newRow("4096 rounds") << QByteArray("password") << QByteArray("salt") << 4096
                                     << QByteArray("4b007901b765489abead49d926f721d065a429c1");
        QTest::newRow("two blocks, the second cut")
            << QByteArray("passwordPASSWORDpassword") << QByteArray("saltSALTsaltSALTsaltSALTsaltSALTsalt") << 4096
            << QByteArray("3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038");
        QTest::newRow("zero bytes in both") << QByteArray("pass\0word", 9) << QByteArray("sa\0lt", 5) << 4096
                                            << QByteArray("56fa6aa75548099dcc37d7f03425e0c3");
        // clang-format on
    }

    void matchesPublishedVectors()
    {
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        QFETCH(QByteArray, expected);
        QCOMPARE(pbkdf2Sha1(password, salt, iterations, int(expected.size() / 2)).toHex(), expected);
    }

    // Lengths around the block size, and a password longer than a hash block,
    // which HMAC hashes first.
    void matchesOpenSsl_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<int>("length");
        const QByteArray shortPassword("marrowglints");
        const QByteArray longPassword(100, 'p');
        for (const int length : {1, 19, 20, 21, 32, 40, 61})
            QTest::addRow("%d bytes", length) << shortPassword << length;
        QTest::newRow("password longer than a block") << longPassword << 32;
        QTest::newRow("password of exactly a block") << QByteArray(64, 'q') << 32;
    }

    void matchesOpenSsl()
    {
        QFETCH(QByteArray, password);
        QFETCH(int, length);
        const QByteArray salt = QByteArray::fromHex("c344c5f091def7912225b0ef171e11b9");
        QByteArray expected(length, '\0');
        QVERIFY(PKCS5_PBKDF2_HMAC_SHA1(password.constData(), int(password.size()),
                                       reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                                       1000, length, reinterpret_cast<unsigned char *>(expected.data())));
        QCOMPARE(pbkdf2Sha1(password, salt, 1000, length).toHex(), expected.toHex());
    }
};

QTEST_GUILESS_MAIN(RecordListKeyTest)
#include "tst_recordlistkey.moc"
