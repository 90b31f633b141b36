#include "meetdb/classlabel.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace tarvel {
namespace {

struct LabelCase {
    const char16_t* code;
    qint16 scheme;
    const char16_t* label;
};

void PrintTo(const LabelCase& c, std::ostream* os)
{
    *os << '"' << QString::fromUtf16(c.code).toStdString() << "\" scheme " << c.scheme;
}

class ClassLabelTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(ClassLabelTest, GivesTheLabelOfTheKey)
{
    const LabelCase& c = GetParam();
    EXPECT_EQ(classLabel(QString::fromUtf16(c.code), c.scheme), QString::fromUtf16(c.label));
}

const LabelCase kLabelCases[] = {
    // Preschool codes are judged by value, before the first-character rules.
    {u" 5", 0, u"幼児"},
    {u"5", 0, u"幼児"},
    {u"05", 0, u"幼児"},
    {u"5 ", 0, u"幼児"},
    {u" 6", 0, u"年少"},
    {u" 7", 1, u"年中"},
    {u" 8", 0, u"年長"},
    {u"09", 0, u"園児"},
    // A first character below "1" gives nothing.
    {u" 3", 0, u""},
    {u"04", 0, u""},
    {u"", 0, u""},
    {u" ", 0, u""},
    {u"-1", 0, u""},
    // School grades copy the second character, whatever it is.
    {u"12", 0, u"小2"},
    {u"13", 0, u"小3"},
    {u" 13", 0, u"小3"},
    {u"21", 0, u"中1"},
    {u"34", 0, u"高4"},
    {u"41", 0, u"大1"},
    {u"1A", 0, u"小A"},
    {u"4 ", 0, u"大 "},
    // "50" to "59" are not 5: they fall through to the class rules.
    {u"50", 0, u""},
    {u"51", 0, u"Ａ"},
    {u"52", 0, u"Ｂ"},
    {u"59", 0, u"Ｉ"},
    {u"63", 0, u"Ｍ"},
    {u"64", 0, u"119歳以下"},
    {u"65", 0, u"120-159歳"},
    {u"66", 0, u"160-199歳"},
    {u"67", 0, u"200-239歳"},
    {u"68", 0, u"240-279歳"},
    {u"69", 0, u"280歳以上"},
    {u"70", 1, u"320-歳"},
    {u"71", 0, u""},
    {u"5A", 0, u"幼児"}, // reading stops at the letter
    {u"99", 0, u""},
    {u"Ａ1", 0, u""},
    // A three-character code is judged by its last two.
    {u"112", 0, u"小2"},
    {u"905", 0, u"幼児"},
    {u"164", 2, u"Ａ"},
    // Scheme 2.
    {u"50", 2, u""},
    {u"51", 2, u"Ｕ1"},
    {u"54", 2, u"Ｕ4"},
    {u"55", 2, u"UL1"},
    {u"58", 2, u"UL4"},
    {u"59", 2, u"Ｌ1"},
    {u"60", 2, u"Ｌ2"},
    {u"61", 2, u"Ｌ3"},
    {u"62", 2, u"Ｌ4"},
    {u"63", 2, u"Ｌ4"},
    {u"64", 2, u"Ａ"},
    {u"65", 2, u"C11"},
    {u"66", 2, u"C12"},
    {u"67", 2, u"Ｃ2"},
    {u"73", 2, u"Ｃ8"},
    {u"74", 2, u"Ｂ1"},
    {u"76", 2, u"Ｂ3"},
    {u"77", 2, u"Ｄ"},
    {u"78", 2, u""},
    {u"79", 2, u""},
    {u" 5", 2, u""},
    {u"12", 2, u""},
    {u"80", 2, u""},
    {u"5 ", 2, u""},
    {u"6A", 2, u""},
    // Unknown schemes give nothing.
    {u"12", 3, u""},
    {u" 5", 3, u""},
    {u"64", -1, u""},
};

INSTANTIATE_TEST_SUITE_P(Table, ClassLabelTest, ::testing::ValuesIn(kLabelCases));

/// Every two-character key over the characters that codes are made of, and some others.
QStringList allKeys()
{
    const QString chars = u" 0123456789-+.AZ\0\u3000Ａ"_qs;
    QStringList keys;
    for (QChar first : chars)
        for (QChar second : chars)
            keys << QString(first) + second;
    return keys;
}

TEST(ClassLabelSchemes, ZeroAndOneAreOneTable)
{
    for (const QString& key : allKeys())
        EXPECT_EQ(classLabel(key, 0), classLabel(key, 1)) << key.toStdString();
}

TEST(ClassLabelSchemes, OtherSchemesGiveNothing)
{
    for (qint16 scheme : {qint16(3), qint16(-1), qint16(-32768), qint16(32767)})
        for (const QString& key : allKeys())
            EXPECT_EQ(classLabel(key, scheme), QString()) << key.toStdString() << scheme;
}

} // namespace
} // namespace tarvel
