#pragma once
/// The access code and the desk PIN as the venue page keeps them: a salted hash, never the
/// text. Comparisons take the same time whatever the text (no hint by timing).

#include <QByteArray>
#include <QString>

namespace tarvel::web {

struct SaltedHash {
    QByteArray salt; ///< 16 random bytes
    QByteArray hash; ///< PBKDF2-SHA256 of the text's UTF-8 with the salt
};

/// A new salt from the system's random source, and the hash of `text` with it.
SaltedHash saltedHashOf(const QString& text);
/// Whether `text` is the one `kept` was made from; constant time in the hash's length.
bool matches(const SaltedHash& kept, const QString& text);

} // namespace tarvel::web
