#include "recordlistkey.h"

#include "recordschema.h"

#include <QFile>

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <functional>
#include <future>
#include <initializer_list>
#include <memory>
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

struct DigestContextFree {
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextFree>;

// HMAC-SHA-1 with the hash states after the inner and the outer pad made
// once; every HMAC starts from copies of them. OpenSSL's own PBKDF2 sets its
// HMAC up again for every round and takes nearly twice as long.
class PaddedHmac
{
public:
    explicit PaddedHmac(QByteArrayView password)
    {
        std::array<unsigned char, kBlockSize> key{};
        if (password.size() > kBlockSize) {
            unsigned int size = 0;
            m_ok = m_ok && EVP_Digest(password.data(), size_t(password.size()), key.data(), &size, EVP_sha1(), nullptr);
        } else {
            std::copy(password.begin(), password.end(), key.begin());
        }
        std::array<unsigned char, kBlockSize> pad;
        for (int i = 0; i < kBlockSize; ++i)
            pad[i] = key[i] ^ 0x36;
        m_ok = m_ok && startWith(m_inner.get(), pad);
        for (int i = 0; i < kBlockSize; ++i)
            pad[i] = key[i] ^ 0x5c;
        m_ok = m_ok && startWith(m_outer.get(), pad);
    }

    bool ok() const { return m_ok; }

    bool sign(std::initializer_list<QByteArrayView> message, Digest &mac)
    {
        bool ok = EVP_MD_CTX_copy_ex(m_work.get(), m_inner.get());
        for (const QByteArrayView part : message)
            ok = ok && EVP_DigestUpdate(m_work.get(), part.data(), size_t(part.size()));
        ok = ok && EVP_DigestFinal_ex(m_work.get(), mac.data(), nullptr)
            && EVP_MD_CTX_copy_ex(m_work.get(), m_outer.get())
            && EVP_DigestUpdate(m_work.get(), mac.data(), mac.size())
            && EVP_DigestFinal_ex(m_work.get(), mac.data(), nullptr);
        return ok;
    }

private:
    static bool startWith(EVP_MD_CTX *context, const std::array<unsigned char, kBlockSize> &pad)
    {
        return context && EVP_DigestInit_ex(context, EVP_sha1(), nullptr)
            && EVP_DigestUpdate(context, pad.data(), pad.size());
    }

    DigestContext m_inner{EVP_MD_CTX_new()};
    DigestContext m_outer{EVP_MD_CTX_new()};
    DigestContext m_work{EVP_MD_CTX_new()};
    bool m_ok = m_work != nullptr;
};

QByteArrayView bytesOf(const Digest &digest)
{
    return {digest.data(), qsizetype(digest.size())};
}

// Block `number` (from 1) of the output; false when OpenSSL failed.
bool deriveBlock(QByteArrayView password, QByteArrayView salt, int iterations, quint32 number, Digest &block)
{
    PaddedHmac hmac(password);
    const std::array<unsigned char, 4> bigEndian{
        {uchar(number >> 24), uchar(number >> 16), uchar(number >> 8), uchar(number)}};
    Digest round;
    bool ok = hmac.ok() && hmac.sign({salt, QByteArrayView(bigEndian.data(), 4)}, round);
    block = round;
    for (int i = 1; ok && i < iterations; ++i) {
        ok = hmac.sign({bytesOf(round)}, round);
        for (int k = 0; k < kDigestSize; ++k)
            block[k] ^= round[k];
    }
    return ok;
}

} // namespace

QByteArray pbkdf2Sha1(QByteArrayView password, QByteArrayView salt, int iterations, int length)
{
    // The blocks do not depend on each other: all but the first are made on
    // threads of their own, so the key takes the time of one block. Where no
    // thread can be had, a block is made when its result is asked for.
    const int blockCount = (length + kDigestSize - 1) / kDigestSize;
    std::vector<Digest> blocks(size_t(std::max(blockCount, 0)));
    std::vector<std::future<bool>> others;
    for (int i = 1; i < blockCount; ++i) {
        others.push_back(std::async(std::launch::async | std::launch::deferred, deriveBlock, password, salt, iterations, quint32(i + 1),
                                    std::ref(blocks[size_t(i)])));
    }
    bool ok = blockCount == 0 || deriveBlock(password, salt, iterations, 1, blocks[0]);
    for (std::future<bool> &other : others)
        ok = other.get() && ok;

    QByteArray key;
    if (ok) {
        for (const Digest &block : blocks)
            key.append(bytesOf(block));
        key.truncate(length);
    }
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
    if (key.isEmpty())
        return passphrase;
    // SQLCipher takes x'…' with the key in hexadecimal as the key itself and
    // derives nothing.
    return "x'" + key.toHex() + '\'';
}

} // namespace tovin
