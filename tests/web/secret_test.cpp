#include "web/secret.h"

#include <gtest/gtest.h>

namespace tarvel::web {
namespace {

TEST(SecretTest, Pbkdf2MatchesAnIndependentImplementation)
{
    // Expected values from RFC 7914's vectors and Python's hashlib.pbkdf2_hmac.
    struct Case {
        const char* name;
        QByteArray text;
        QByteArray salt;
        int iterations;
        const char* hex;
    };
    const Case cases[] = {
        {"one round", "passwd", "salt", 1,
         "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"},
        {"many rounds", "Password", "NaCl", 80000,
         "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"},
        {"the kept rounds, Japanese text", QStringLiteral("受付１２３").toUtf8(),
         "0123456789abcdef", kSecretIterations,
         "523bb4817e21a6f15caf94a66de0d828e5224af2487409b90fa39bf6b8482a9d"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pbkdf2Sha256(c.text, c.salt, c.iterations).toHex(), QByteArray(c.hex)) << c.name;
}

TEST(SecretTest, MatchesOnlyItsOwnTextAndEachHashHasItsOwnSalt)
{
    const SaltedHash kept = saltedHashOf(QStringLiteral("1234"));
    EXPECT_EQ(kept.salt.size(), 16);
    EXPECT_EQ(kept.hash, pbkdf2Sha256("1234", kept.salt, kSecretIterations));
    EXPECT_TRUE(matches(kept, QStringLiteral("1234")));
    for (const QString& other :
         {QStringLiteral("1235"), QStringLiteral("12345"), QStringLiteral("１２３４"), QString()})
        EXPECT_FALSE(matches(kept, other)) << other.toStdString();

    const SaltedHash again = saltedHashOf(QStringLiteral("1234"));
    EXPECT_NE(again.salt, kept.salt);
    EXPECT_NE(again.hash, kept.hash);
    EXPECT_TRUE(matches(again, QStringLiteral("1234")));
    // A hash without its salt's bytes (none kept) matches nothing.
    EXPECT_FALSE(matches(SaltedHash{}, QString()));
}

TEST(SecretTest, SameBytes)
{
    EXPECT_TRUE(sameBytes("abc", "abc"));
    EXPECT_TRUE(sameBytes("", ""));
    EXPECT_FALSE(sameBytes("abc", "abd"));
    EXPECT_FALSE(sameBytes("abc", "ab"));
    EXPECT_FALSE(sameBytes("xbc", "abc"));
}

} // namespace
} // namespace tarvel::web
