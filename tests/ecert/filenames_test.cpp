#include "ecert/filenames.h"
#include "qstringprinter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSet>

#include <algorithm>

namespace tarvel::testing {
namespace {

/// What every name must be, whatever it was made from.
void expectSafe(const QString& name, int maxBytes)
{
    SCOPED_TRACE(name.toStdString());
    ASSERT_FALSE(name.isEmpty());
    EXPECT_LE(name.toUtf8().size(), maxBytes);
    EXPECT_EQ(name, name.normalized(QString::NormalizationForm_C));
    EXPECT_NE(name.front(), u'.');
    EXPECT_NE(name.back(), u'.');
    EXPECT_FALSE(name.back().isSpace());
    for (const QChar c : name) {
        EXPECT_FALSE(QStringView(u"/\\:*?\"<>|").contains(c)) << "character " << int(c.unicode());
        EXPECT_GE(c.unicode(), 0x20) << "control character";
        EXPECT_NE(c.unicode(), 0x7f);
    }
    // Read back from UTF-8 unchanged: no half of a pair and no half of a character.
    EXPECT_EQ(QString::fromUtf8(name.toUtf8()), name);
    const QString root = u"/meet/e-certificates"_qs;
    EXPECT_EQ(QDir::cleanPath(root + u'/' + name), root + u'/' + name);
}

struct NameCase {
    const char* row;
    QString text;
    QString expected; // empty: only the properties are checked
};

class SafeNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SafeNameTest, IsSafeAndAsExpected)
{
    const NameCase& c = GetParam();
    const QString name = safeName(c.text);
    expectSafe(name, kMaxNameBytes);
    if (!c.expected.isEmpty()) {
        EXPECT_EQ(name, c.expected);
    }
}

const QString k200Bytes = QString(66, u'泳') + u"ab"_qs; // 66 × 3 + 2 bytes

INSTANTIATE_TEST_SUITE_P(
    Hostile, SafeNameTest,
    ::testing::Values(NameCase{"Plain", u"R012_男子100m自由形決勝_1位_山田太郎"_qs,
                               u"R012_男子100m自由形決勝_1位_山田太郎"_qs},
                      NameCase{"Separators", u"a/b\\c"_qs, u"a_b_c"_qs},
                      NameCase{"EveryForbidden", u"1:2*3?4\"5<6>7|8"_qs, u"1_2_3_4_5_6_7_8"_qs},
                      NameCase{"ParentFolders", u"../../x"_qs, u"_.._x"_qs},
                      NameCase{"OnlyDots", u".."_qs, u"_"_qs}, NameCase{"Dot", u"."_qs, u"_"_qs},
                      NameCase{"Empty", QString(), u"_"_qs},
                      NameCase{"OnlyBlanks", u" \u3000 "_qs, u"_"_qs},
                      NameCase{"LeadingDot", u".hidden"_qs, u"hidden"_qs},
                      NameCase{"TrailingDotsAndBlanks", u"name. . "_qs, u"name"_qs},
                      NameCase{"Controls", u"a\tb\nc\u0001d\u007fe\u0085f\u2028g"_qs,
                               u"a_b_c_d_e_f_g"_qs},
                      NameCase{"Device", u"CON"_qs, u"_CON"_qs},
                      NameCase{"DeviceLowerCase", u"nul"_qs, u"_nul"_qs},
                      NameCase{"DeviceWithExtension", u"LPT1.pdf"_qs, u"_LPT1.pdf"_qs},
                      NameCase{"DeviceBeforeBlank", u"Aux .txt"_qs, u"_Aux .txt"_qs},
                      NameCase{"DeviceSuperscript", u"COM²"_qs, u"_COM²"_qs},
                      NameCase{"ConsoleDevice", u"conout$"_qs, u"_conout$"_qs},
                      NameCase{"NotADevice", u"CONSOLE"_qs, u"CONSOLE"_qs},
                      NameCase{"PortZeroIsNoDevice", u"COM0"_qs, u"COM0"_qs},
                      NameCase{"Decomposed", u"か\u3099き"_qs, u"がき"_qs},
                      NameCase{"Cp932CannotHold", u"𠮷野家🏊‍♀️①髙"_qs,
                               u"𠮷野家🏊‍♀️①髙"_qs},
                      NameCase{"UnpairedSurrogate", QString(QChar(0xD800)) + u"x"_qs, u"_x"_qs},
                      NameCase{"TwoHundredBytes", k200Bytes, QString(40, u'泳')}),
    [](const auto& info) { return std::string(info.param.row); });

TEST(SafeNameTest, CutsAtACharacterBoundaryWithinTheLimit)
{
    struct Row {
        QString text;
        int maxBytes;
        QString expected;
    };
    const Row rows[] = {
        {u"abcdef"_qs, 3, u"abc"_qs},
        {u"泳泳泳"_qs, 8, u"泳泳"_qs},            // 9 bytes: the third would be cut in half
        {u"a𠮷b"_qs, 4, u"a"_qs},                 // a pair is never split
        {u"e\u0301\u0301x"_qs, 4, u"é\u0301"_qs}, // NFC é and its second mark: one cluster
        {u"e\u0301\u0301x"_qs, 3, u"_"_qs},       // never split, even when nothing is left
        {u"ab.cd"_qs, 3, u"ab"_qs},               // the cut leaves no trailing dot
        {u"CON.pdf"_qs, 5, u"_CON"_qs},           // the device prefix makes room for itself
    };
    for (const Row& row : rows) {
        const QString name = safeName(row.text, row.maxBytes);
        EXPECT_EQ(name, row.expected) << row.text.toStdString() << " in " << row.maxBytes;
        EXPECT_LE(name.toUtf8().size(), row.maxBytes);
    }
}

ECertificate certificate(int heat, int lane, const QString& name, const QString& rank = u"  1位"_qs,
                         std::optional<int> leg = std::nullopt,
                         const QString& affiliation = u"テストＳＣ"_qs)
{
    ECertificate c;
    c.raceNo = 12;
    c.heat = heat;
    c.lane = lane;
    c.leg = leg;
    c.eventTitle = u"R012 男子 100m自由形 決勝"_qs;
    c.items[kItemRank] = rank;
    c.items[kItemName] = name;
    c.items[kItemAffiliation] = affiliation;
    return c;
}

TEST(PlanFileNamesTest, NamesAfterEventRankAndName)
{
    const QStringList paths = planFileNames(
        {certificate(11, 3, u"山田太郎"_qs), certificate(11, 4, u" 佐藤　花子 "_qs, u"  2位"_qs),
         certificate(12, 0, u"鈴木一郎"_qs, u"   "_qs, std::nullopt, u"   "_qs)});
    EXPECT_EQ(paths, (QStringList{u"テストＳＣ/R012_男子100m自由形決勝_1位_山田太郎.pdf"_qs,
                                  u"テストＳＣ/R012_男子100m自由形決勝_2位_佐藤　花子.pdf"_qs,
                                  u"所属なし/R012_男子100m自由形決勝_鈴木一郎.pdf"_qs}));
}

TEST(PlanFileNamesTest, CertificatesThatWouldShareANameGetTheirPlace)
{
    struct Row {
        const char* row;
        QList<ECertificate> event;
        QStringList expected;
    };
    const QString stem = u"テストＳＣ/R012_男子100m自由形決勝_1位_"_qs;
    const Row rows[] = {
        {"TieOfOneName",
         {certificate(11, 3, u"山田太郎"_qs), certificate(12, 5, u"山田太郎"_qs)},
         {stem + u"山田太郎_R011_4レーン.pdf"_qs, stem + u"山田太郎_R012_6レーン.pdf"_qs}},
        {"TwoLegsOfOneName",
         {certificate(12, 2, u"山田"_qs, u"  1位"_qs, 0),
          certificate(12, 2, u"山田"_qs, u"  1位"_qs, 3)},
         {stem + u"山田_R012_3レーン_1泳者.pdf"_qs, stem + u"山田_R012_3レーン_4泳者.pdf"_qs}},
        {"OnlyCaseDiffers",
         {certificate(11, 0, u"ABE"_qs), certificate(11, 1, u"abe"_qs)},
         {stem + u"ABE_R011_1レーン.pdf"_qs, stem + u"abe_R011_2レーン.pdf"_qs}},
        {"OnlyReplacedCharactersDiffer",
         {certificate(11, 0, u"a/b"_qs), certificate(11, 1, u"a:b"_qs)},
         {stem + u"a_b_R011_1レーン.pdf"_qs, stem + u"a_b_R011_2レーン.pdf"_qs}},
        {"ANameThatLooksLikeAPlace",
         {certificate(11, 0, u"x"_qs), certificate(11, 1, u"x"_qs),
          certificate(11, 2, u"x_R011_1レーン"_qs)},
         {stem + u"x_R011_1レーン.pdf"_qs, stem + u"x_R011_2レーン.pdf"_qs,
          stem + u"x_R011_1レーン_R011_3レーン_2.pdf"_qs}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.row);
        EXPECT_EQ(planFileNames(row.event), row.expected);
        // The same names whatever the order the certificates come in.
        QList<ECertificate> reversed = row.event;
        std::reverse(reversed.begin(), reversed.end());
        QStringList expected = row.expected;
        std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(planFileNames(reversed), expected);
    }
}

TEST(PlanFileNamesTest, HostileNamesStayInsideDifferAndFit)
{
    const QString longName = QString(100, u'泳');
    QList<ECertificate> event;
    const QStringList hostile = {u"../../x"_qs,      u"..\\..\\x"_qs, u"/etc/passwd"_qs, u"CON"_qs,
                                 u"con"_qs,          u"."_qs,         u".."_qs,          longName,
                                 longName + u"x"_qs, u"𠮷"_qs,        u"?"_qs,           u"*"_qs,
                                 QString()};
    for (int i = 0; i < hostile.size(); ++i)
        event.append(certificate(11, i, hostile[i], u"  1位"_qs, std::nullopt, hostile[i]));
    const QStringList paths = planFileNames(event);
    QSet<QString> folded;
    const QString root = u"/meet/e-certificates"_qs;
    for (const QString& path : paths) {
        folded.insert(path.toCaseFolded());
        const QStringList parts = path.split(u'/');
        ASSERT_EQ(parts.size(), 2) << path.toStdString();
        expectSafe(parts[0], kMaxFolderBytes);
        expectSafe(parts[1], kMaxNameBytes);
        EXPECT_TRUE(parts[1].endsWith(u".pdf"_qs));
        EXPECT_EQ(QDir::cleanPath(root + u'/' + path), root + u'/' + path);
    }
    EXPECT_EQ(folded.size(), paths.size());
}

} // namespace
} // namespace tarvel::testing
