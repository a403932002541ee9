#include "recordlistkey.h"

#include "recordschema.h"

#include <QFile>
#include <QtEndian>

// SHA-1 on plain state structures, which OpenSSL 3 still has but marks as
// old. Its EVP interface allocates on every copy of a hash state, two copies
// per round; a thread that allocates leaves the C library a heap of its own,
// which the batch run's first worker then takes over, and the run's peak
// memory with one worker came out twice as high in some runs.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

#include <algorithm>
#include <array>
#include <functional>
#include <future>
#include <initializer_list>
#include <vector>

namespace tovin {
namespace {

// SQLCipher 3's file format: a 16-byte salt opens the file, and the AES-256
// key is 64,000 rounds of PBKDF2-HMAC-SHA-1 of the passphrase and that salt.
// The passphrase ships inside the program, so nothing here is kept from its
// user and no buffer needs wiping.
constexpr int kSaltSize = 16;
constexpr int kKeyIterations = 64000;
constexpr int kKeySize = 32;

constexpr int kDigestSize = 20;
constexpr int kBlockSize = 64;
using Digest = std::array<unsigned char, kDigestSize>;

// HMAC-SHA-1 with the hash states after the inner and the outer pad made
// once; every HMAC starts from copies of them. OpenSSL's own PBKDF2 sets its
// HMAC up again for every round and takes two and a half times as long.
class PaddedHmac
{
public:
    explicit PaddedHmac(QByteArrayView password)
    {
        std::array<unsigned char, kBlockSize> key{};
        if (password.size() > kBlockSize)
            SHA1(reinterpret_cast<const unsigned char *>(password.data()), size_t(password.size()), key.data());
        else
            std::copy(password.begin(), password.end(), key.begin());
        std::array<unsigned char, kBlockSize> pad;
        for (int i = 0; i < kBlockSize; ++i)
            pad[i] = key[i] ^ 0x36;
        SHA1_Init(&m_inner);
        SHA1_Update(&m_inner, pad.data(), pad.size());
        for (int i = 0; i < kBlockSize; ++i)
            pad[i] = key[i] ^ 0x5c;
        SHA1_Init(&m_outer);
        SHA1_Update(&m_outer, pad.data(), pad.size());
    }

    void sign(std::initializer_list<QByteArrayView> message, Digest &mac) const
    {
        SHA_CTX work = m_inner;
        for (const QByteArrayView part : message)
            SHA1_Update(&work, part.data(), size_t(part.size()));
        SHA1_Final(mac.data(), &work);
        work = m_outer;
        SHA1_Update(&work, mac.data(), mac.size());
        SHA1_Final(mac.data(), &work);
    }

    const SHA_CTX &inner() const { return m_inner; }
    const SHA_CTX &outer() const { return m_outer; }

private:
    SHA_CTX m_inner;
    SHA_CTX m_outer;
};

// The message of every round after the first is the previous round's MAC.
// Behind a pad, those 20 bytes and SHA-1's padding fill exactly one block
// whose tail never changes, so each of a round's two hashes is a single
// compression of that block. The hashing calls' buffering, padding and
// clearing took longer than the compressions themselves.
class RoundBlock
{
public:
    explicit RoundBlock(const Digest &mac)
    {
        std::copy(mac.begin(), mac.end(), m_bytes.begin());
        m_bytes[kDigestSize] = 0x80;
        qToBigEndian(quint64(kBlockSize + kDigestSize) * 8, m_bytes.data() + kBlockSize - 8);
    }

    // Replaces the MAC in the block with the HMAC of it.
    void sign(const PaddedHmac &hmac)
    {
        compressFrom(hmac.inner());
        compressFrom(hmac.outer());
    }

    const unsigned char *mac() const { return m_bytes.data(); }

private:
    void compressFrom(const SHA_CTX &start)
    {
        SHA_CTX work = start;
        SHA1_Transform(&work, m_bytes.data());
        unsigned char *digest = m_bytes.data();
        for (const SHA_LONG word : {work.h0, work.h1, work.h2, work.h3, work.h4}) {
            qToBigEndian(quint32(word), digest);
            digest += sizeof(quint32);
        }
    }

    alignas(16) std::array<unsigned char, kBlockSize> m_bytes{};
};

QByteArrayView bytesOf(const Digest &digest)
{
    return {digest.data(), qsizetype(digest.size())};
}

// Block `number` (from 1) of the output.
void deriveBlock(QByteArrayView password, QByteArrayView salt, int iterations, quint32 number, Digest &block)
{
    const PaddedHmac hmac(password);
    std::array<unsigned char, sizeof number> bigEndian;
    qToBigEndian(number, bigEndian.data());
    hmac.sign({salt, QByteArrayView(bigEndian.data(), bigEndian.size())}, block);
    RoundBlock round(block);
    for (int i = 1; i < iterations; ++i) {
        round.sign(hmac);
        for (int k = 0; k < kDigestSize; ++k)
            block[k] ^= round.mac()[k];
    }
}

} // namespace

QByteArray pbkdf2Sha1(QByteArrayView password, QByteArrayView salt, int iterations, int length)
{
    // The blocks do not depend on each other: all but the first are made on
    // threads of their own, so the key takes the time of one block. Where no
    // thread can be had, a block is made when its result is asked for.
    const int blockCount = (length + kDigestSize - 1) / kDigestSize;
    std::vector<Digest> blocks(size_t(std::max(blockCount, 0)));
    std::vector<std::future<void>> others;
    for (int i = 1; i < blockCount; ++i) {
        others.push_back(std::async(std::launch::async | std::launch::deferred, deriveBlock, password, salt,
                                    iterations, quint32(i + 1), std::ref(blocks[size_t(i)])));
    }
    if (blockCount > 0)
        deriveBlock(password, salt, iterations, 1, blocks[0]);
    for (std::future<void> &other : others)
        other.get();

    QByteArray key;
    for (const Digest &block : blocks)
        key.append(bytesOf(block));
    key.truncate(length);
    return key;
}

QByteArray recordListKeyFor(const QString &file)
{
    const QByteArray passphrase(kRecordListKey);
    QFile database(file);
    const QByteArray salt = database.open(QIODevice::ReadOnly) ? database.read(kSaltSize) : QByteArray();
    if (salt.size() < kSaltSize)
        return passphrase;
    const QByteArray key = pbkdf2Sha1(passphrase, salt, kKeyIterations, kKeySize);
    // SQLCipher takes x'…' with the key in hexadecimal as the key itself and
    // derives nothing.
    return "x'" + key.toHex() + '\'';
}

} // namespace tovin
