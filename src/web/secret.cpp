#include "web/secret.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include <array>

namespace tarvel::web {

namespace {

constexpr int kSaltBytes = 16;

} // namespace

QByteArray pbkdf2Sha256(const QByteArray& text, const QByteArray& salt, int iterations)
{
    // One block of output: the hash is as long as SHA-256's, so T1 is the whole key.
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, text);
    mac.addData(salt);
    mac.addData("\0\0\0\1", 4);
    QByteArray u = mac.result();
    QByteArray key = u;
    for (int i = 1; i < iterations; ++i) {
        mac.reset();
        mac.addData(u);
        u = mac.result();
        for (qsizetype b = 0; b < key.size(); ++b)
            key[b] = char(key[b] ^ u[b]);
    }
    return key;
}

SaltedHash saltedHashOf(const QString& text, int iterations)
{
    std::array<quint32, kSaltBytes / 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    SaltedHash kept;
    kept.salt = QByteArray(reinterpret_cast<const char*>(words.data()), kSaltBytes);
    kept.iterations = iterations;
    kept.hash = pbkdf2Sha256(text.toUtf8(), kept.salt, iterations);
    return kept;
}

bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    // The length is no secret; the contents are compared without an early exit.
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

bool matches(const SaltedHash& kept, const QString& text)
{
    if (kept.hash.isEmpty() || kept.iterations < 1)
        return false;
    return sameBytes(kept.hash, pbkdf2Sha256(text.toUtf8(), kept.salt, kept.iterations));
}

} // namespace tarvel::web
