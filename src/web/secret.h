#pragma once
/// The access code and the desk PIN as the venue page keeps them: a salted hash, never the
/// text. Comparisons take the same time whatever the text (no hint by timing).

#include <QByteArray>
#include <QString>

namespace tarvel::web {

/// PBKDF2's rounds for the kept codes. They are held only in memory and tries are limited by
/// the gate, so the rounds only make a copy of the memory costly to search; a login still
/// answers at once on a small laptop.
inline constexpr int kSecretIterations = 20000;

struct SaltedHash {
    QByteArray salt;                    ///< 16 random bytes
    QByteArray hash;                    ///< PBKDF2-SHA256 of the text's UTF-8 with the salt
    int iterations = kSecretIterations; ///< PBKDF2's rounds
};

/// A new salt from the system's random source, and the hash of `text` with it (fewer
/// rounds only in tests).
SaltedHash saltedHashOf(const QString& text, int iterations = kSecretIterations);
/// Whether `text` is the one `kept` was made from; constant time in the hash's length.
bool matches(const SaltedHash& kept, const QString& text);

/// PBKDF2-HMAC-SHA256 of `text` with `salt`: 32 bytes.
QByteArray pbkdf2Sha256(const QByteArray& text, const QByteArray& salt, int iterations);
/// Whether `a` and `b` hold the same bytes, in a time that depends only on their lengths.
bool sameBytes(const QByteArray& a, const QByteArray& b);

} // namespace tarvel::web
