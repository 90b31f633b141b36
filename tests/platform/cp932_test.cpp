#include "platform/cp932.h"

#include <QHash>
#include <QList>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringList>

#include "qstringprinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

using namespace tarvel;

namespace {

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

std::string hexOf(QByteArrayView bytes)
{
    return QByteArray(bytes.data(), bytes.size()).toHex(' ').toStdString();
}

std::string codePointsOf(const QString& text)
{
    std::string out;
    for (QChar c : text) {
        if (!out.empty())
            out += ' ';
        out += QString::number(c.unicode(), 16).rightJustified(4, u'0').toUpper().toStdString();
    }
    return out;
}

// ---- Chosen cases ------------------------------------------------------------------------

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QString expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os)
{
    *os << c.name;
}

class Cp932Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Cp932Decode, GivesExpectedText)
{
    const DecodeCase& c = GetParam();
    const QString got = cp932::decode(c.bytes);
    EXPECT_EQ(codePointsOf(got), codePointsOf(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Cp932Decode,
    ::testing::Values(DecodeCase{"ascii", QByteArray("Abc 1,\""), u"Abc 1,\""_qs},
                      DecodeCase{"backslashAndTilde", QByteArray("\\~"), u"\\~"_qs},
                      DecodeCase{"controlBytesAsIs", bytesOf({0x1A, 0x1C, 0x7F, 0x00}),
                                 QString::fromUtf16(u"\u001A\u001C\u007F\u0000", 4)},
                      DecodeCase{"hiragana", bytesOf({0x82, 0xA0, 0x82, 0xA2}), u"あい"_qs},
                      DecodeCase{"waveDash", bytesOf({0x81, 0x60}), u"\uFF5E"_qs},
                      DecodeCase{"circledOne", bytesOf({0x87, 0x40}), u"\u2460"_qs},
                      DecodeCase{"ibmTaka", bytesOf({0xFB, 0xFC}), u"\u9AD9"_qs},
                      DecodeCase{"ibmSaki", bytesOf({0xFA, 0xB1}), u"\uFA11"_qs},
                      DecodeCase{"necSelectedTaka", bytesOf({0xEE, 0xE0}), u"\u9AD9"_qs},
                      DecodeCase{"halfWidthKatakana", bytesOf({0xA1, 0xB1, 0xDF}),
                                 u"\uFF61\uFF71\uFF9F"_qs},
                      DecodeCase{"windowsSingles", bytesOf({0x80, 0xA0, 0xFD, 0xFE, 0xFF}),
                                 u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"_qs},
                      DecodeCase{"userDefinedArea", bytesOf({0xF0, 0x40}), u"\uE000"_qs},
                      DecodeCase{"leadCutAtEnd", bytesOf({'A', 0x82}), u"A\uFFFD"_qs},
                      DecodeCase{"onlyALead", bytesOf({0xE0}), u"\uFFFD"_qs},
                      DecodeCase{"leadBeforeBlank", bytesOf({0x81, 0x20, 'A'}), u"\uFFFD A"_qs},
                      DecodeCase{"leadBeforeComma", bytesOf({0x82, ',', 'b'}), u"\uFFFD,b"_qs},
                      DecodeCase{"leadBeforeDel", bytesOf({0x81, 0x7F}), u"\uFFFD\u007F"_qs},
                      DecodeCase{"undefinedRow85", bytesOf({0x85, 0x40, 'x'}), u"\uFFFDx"_qs},
                      DecodeCase{"undefinedRow86", bytesOf({0x86, 0x9F}), u"\uFFFD"_qs},
                      DecodeCase{"undefinedInRow81", bytesOf({0x81, 0xAD}), u"\uFFFD"_qs},
                      DecodeCase{"empty", QByteArray(), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

struct EncodeCase {
    const char* name;
    QString text;
    QByteArray expected;
};

void PrintTo(const EncodeCase& c, std::ostream* os)
{
    *os << c.name;
}

class Cp932Encode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Cp932Encode, GivesExpectedBytes)
{
    const EncodeCase& c = GetParam();
    EXPECT_EQ(hexOf(cp932::encode(c.text)), hexOf(c.expected)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Cp932Encode,
    ::testing::Values(EncodeCase{"ascii", u"Race.dat 1,2"_qs, QByteArray("Race.dat 1,2")},
                      EncodeCase{"controlBytesAsIs", QString::fromUtf16(u"\u001A\u001C\u007F", 3),
                                 bytesOf({0x1A, 0x1C, 0x7F})},
                      EncodeCase{"waveDash", u"\uFF5E"_qs, bytesOf({0x81, 0x60})},
                      EncodeCase{"circledOne", u"\u2460"_qs, bytesOf({0x87, 0x40})},
                      EncodeCase{"taka", u"\u9AD9"_qs, bytesOf({0xFB, 0xFC})},
                      EncodeCase{"saki", u"\uFA11"_qs, bytesOf({0xFA, 0xB1})},
                      EncodeCase{"halfWidthKatakana", u"\uFF71\uFF9F"_qs, bytesOf({0xB1, 0xDF})},
                      EncodeCase{"windowsSingles", u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"_qs,
                                 bytesOf({0x80, 0xA0, 0xFD, 0xFE, 0xFF})},
                      EncodeCase{"emojiIsOneQuestionMark", u"a\U0001F600b"_qs, QByteArray("a?b")},
                      EncodeCase{"hangul", u"\uD55C"_qs, QByteArray("?")},
                      EncodeCase{"loneSurrogate", QString(QChar(0xD800)) + u'x', QByteArray("?x")},
                      EncodeCase{"replacementCharacter", u"\uFFFD"_qs, QByteArray("?")},
                      EncodeCase{"mixed", u"第1レース"_qs,
                                 bytesOf({0x91, 0xE6, '1', 0x83, 0x8C, 0x81, 0x5B, 0x83, 0x58})}),
    [](const auto& info) { return std::string(info.param.name); });

struct FieldCase {
    const char* name;
    QString text;
    int width;
    QByteArray expected;
};

void PrintTo(const FieldCase& c, std::ostream* os)
{
    *os << c.name;
}

class Cp932Field : public ::testing::TestWithParam<FieldCase> {};

TEST_P(Cp932Field, IsCutOrPaddedToWidth)
{
    const FieldCase& c = GetParam();
    const QByteArray got = cp932::encodeField(c.text, c.width);
    EXPECT_EQ(hexOf(got), hexOf(c.expected)) << c.name;
    EXPECT_EQ(got.size(), std::max(c.width, 0)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Cp932Field,
    ::testing::Values(FieldCase{"padded", u"AB"_qs, 5, QByteArray("AB   ")},
                      FieldCase{"exact", u"ABC"_qs, 3, QByteArray("ABC")},
                      FieldCase{"cut", u"ABCDEF"_qs, 4, QByteArray("ABCD")},
                      FieldCase{"empty", QString(), 3, QByteArray("   ")},
                      FieldCase{"zeroWidth", u"AB"_qs, 0, QByteArray()},
                      FieldCase{"negativeWidth", u"AB"_qs, -2, QByteArray()},
                      FieldCase{"doubleByteFits", u"あい"_qs, 4, bytesOf({0x82, 0xA0, 0x82, 0xA2})},
                      FieldCase{"doubleByteStraddles", u"あい"_qs, 3, bytesOf({0x82, 0xA0, ' '})},
                      FieldCase{"doubleByteStraddlesAfterAscii", u"Aあ"_qs, 2, QByteArray("A ")},
                      FieldCase{"onlyDoubleByteInOne", u"髙"_qs, 1, QByteArray(" ")},
                      FieldCase{"unencodableCountsOneByte", u"\U0001F600あ"_qs, 3,
                                bytesOf({'?', 0x82, 0xA0})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cp932, FieldOfWidthBytesDecodesToAtMostWidthCharacters)
{
    QRandomGenerator random(932);
    for (int round = 0; round < 2000; ++round) {
        QByteArray field(int(random.bounded(1, 40)), '\0');
        for (char& b : field)
            b = char(random.bounded(256));
        QString text = cp932::decode(field);
        ASSERT_LE(text.size(), field.size()) << hexOf(field);
        // Encoding what was decoded and decoding again changes nothing.
        EXPECT_EQ(codePointsOf(cp932::decode(cp932::encode(text))),
                  codePointsOf(text.replace(QChar(0xFFFD), u'?')))
            << hexOf(field);
    }
}

// ---- Every code against an independent reference --------------------------------------

/// Python's cp932 codec (Microsoft's table) for every single byte and every pair whose
/// first byte is a lead byte: "XX cccc" / "XXYY cccc", or "invalid" instead of the code
/// point. Python's choice among duplicate codes differs from Windows', so only its
/// decoding is used.
constexpr const char* kReferenceScript = R"PY(
import sys
out = []
def show(code, raw):
    try:
        s = raw.decode('cp932')
    except UnicodeDecodeError:
        s = ''
    out.append('%s %s' % (code, '%04X' % ord(s) if len(s) == 1 else 'invalid'))
for b in range(256):
    show('%02X' % b, bytes([b]))
for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
    for trail in range(256):
        show('%02X%02X' % (lead, trail), bytes([lead, trail]))
sys.stdout.write('\n'.join(out) + '\n')
)PY";

struct Reference {
    /// Byte or pair (as 0xXX or 0xXXYY) to code point; absent when invalid.
    QHash<int, char16_t> single;
    QHash<int, char16_t> pair;
};

std::optional<Reference> loadReference(QString* problem)
{
    const QString python = QStandardPaths::findExecutable(u"python3"_qs);
    if (python.isEmpty()) {
        *problem = u"python3 is not installed: the cp932 reference comparison needs it"_qs;
        return std::nullopt;
    }
    QProcess process;
    process.start(python, {u"-c"_qs, QString::fromUtf8(kReferenceScript)});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        *problem = u"python3 failed: "_qs + QString::fromUtf8(process.readAllStandardError());
        return std::nullopt;
    }
    Reference ref;
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() != 2)
            continue;
        if (fields[1] == "invalid")
            continue;
        const int code = fields[0].toInt(nullptr, 16);
        const auto unit = char16_t(fields[1].toInt(nullptr, 16));
        (fields[0].size() == 2 ? ref.single : ref.pair).insert(code, unit);
    }
    if (ref.single.size() < 128 || ref.pair.size() < 7000) {
        *problem = u"python3's cp932 output is not as expected"_qs;
        return std::nullopt;
    }
    return ref;
}

/// Loaded once for the suite: running the reference takes a moment.
class Cp932Reference : public ::testing::Test {
protected:
    static void SetUpTestSuite() { reference_ = loadReference(&problem_); }
    void SetUp() override
    {
        if (!reference_)
            GTEST_SKIP() << problem_.toStdString();
    }
    static const Reference& ref() { return *reference_; }

    static bool isLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
    static bool isTrail(int b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

    /// What a single byte must decode to.
    static char16_t expectedSingle(int b)
    {
        // Windows' mappings of the bytes cp932 leaves undefined.
        static const QHash<int, char16_t> windows{{0x80, u'\u0080'},
                                                  {0xA0, u'\uF8F0'},
                                                  {0xFD, u'\uF8F1'},
                                                  {0xFE, u'\uF8F2'},
                                                  {0xFF, u'\uF8F3'}};
        if (windows.contains(b))
            return windows.value(b);
        return ref().single.value(b, u'\uFFFD');
    }

    static inline std::optional<Reference> reference_;
    static inline QString problem_;
};

TEST_F(Cp932Reference, EverySingleByteDecodesAsWindows)
{
    for (int b = 0; b < 256; ++b) {
        const QString got = cp932::decode(bytesOf({b}));
        ASSERT_EQ(got.size(), 1) << "byte " << std::hex << b;
        EXPECT_EQ(int(got[0].unicode()), int(expectedSingle(b))) << "byte " << std::hex << b;
    }
}

TEST_F(Cp932Reference, AsciiIsExactAndKatakanaIsHalfWidth)
{
    // The reference itself must agree here; a converter that swaps 0x1A, 0x1C or 0x7F
    // would fail this.
    for (int b = 0; b < 0x80; ++b)
        EXPECT_EQ(int(expectedSingle(b)), b);
    for (int b = 0xA1; b <= 0xDF; ++b)
        EXPECT_EQ(int(expectedSingle(b)), 0xFF61 + b - 0xA1);
}

TEST_F(Cp932Reference, EveryPairDecodesAsReference)
{
    int mismatches = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLead(lead))
            continue;
        for (int trail = 0; trail < 256; ++trail) {
            const int code = (lead << 8) | trail;
            QString expected;
            if (ref().pair.contains(code)) {
                expected = QChar(ref().pair.value(code));
            } else {
                // An undefined pair is one U+FFFD; a lead without a valid trail is one,
                // and the byte after it stands alone.
                expected = QChar(0xFFFD);
                if (!isTrail(trail))
                    expected += QChar(expectedSingle(trail));
            }
            const QString got = cp932::decode(bytesOf({lead, trail}));
            if (got != expected && ++mismatches <= 20) {
                ADD_FAILURE() << "code " << std::hex << code << ": got " << codePointsOf(got)
                              << ", expected " << codePointsOf(expected);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

/// Windows' choice among codes that decode to one character: the JIS rows first, then
/// the NEC special row 13, then the IBM extensions, last the NEC-selected IBM rows.
int windowsPreference(int code)
{
    const int lead = code >> 8;
    if (lead == 0x87)
        return 1;
    if (lead >= 0xFA && lead <= 0xFC)
        return 2;
    if (lead >= 0xED && lead <= 0xEE)
        return 3;
    return 0;
}

TEST_F(Cp932Reference, EveryCharacterEncodesBackToItsCode)
{
    QHash<char16_t, QList<int>> codesOf;
    for (auto it = ref().pair.cbegin(); it != ref().pair.cend(); ++it)
        codesOf[it.value()].append(it.key());

    int mismatches = 0;
    int duplicates = 0;
    for (auto it = codesOf.cbegin(); it != codesOf.cend(); ++it) {
        QList<int> codes = it.value();
        std::sort(codes.begin(), codes.end(), [](int a, int b) {
            return std::pair(windowsPreference(a), a) < std::pair(windowsPreference(b), b);
        });
        if (codes.size() > 1)
            ++duplicates;
        const int want = codes.front();
        const QByteArray expected = bytesOf({want >> 8, want & 0xFF});
        const QByteArray got = cp932::encode(QString(QChar(it.key())));
        if (got != expected && ++mismatches <= 20) {
            ADD_FAILURE() << "U+" << std::hex << int(it.key()) << ": got " << hexOf(got)
                          << ", expected " << hexOf(expected);
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(duplicates, 300); // the NEC and IBM rows were really compared
}

TEST_F(Cp932Reference, EverySingleByteCharacterEncodesBack)
{
    for (int b = 0; b < 256; ++b) {
        if (isLead(b))
            continue;
        const QByteArray got = cp932::encode(QString(QChar(expectedSingle(b))));
        EXPECT_EQ(hexOf(got), hexOf(bytesOf({b}))) << "byte " << std::hex << b;
    }
}

} // namespace
