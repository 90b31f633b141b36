#include "naming/resulttext.h"

#include <gtest/gtest.h>

namespace tarvel {
namespace {

struct ResultCase {
    qint32 value;
    const char16_t* text;
};

void PrintTo(const ResultCase& c, std::ostream* os)
{
    *os << c.value;
}

class FormatResultTest : public ::testing::TestWithParam<ResultCase> {};

TEST_P(FormatResultTest, PrintsTheResult)
{
    EXPECT_EQ(formatResult(GetParam().value), QString::fromUtf16(GetParam().text));
}

const ResultCase kResultCases[] = {
    // No time: single digits.
    {0, u""},
    {5, u""},
    {9, u""},
    // Times of two to seven digits, each eight characters.
    {10, u"     .10"},
    {59, u"     .59"},
    {123, u"    1.23"},
    {5432, u"   54.32"},
    {10000, u" 1:00.00"},
    {12345, u" 1:23.45"},
    {123456, u"12:34.56"},
    {1234567, u"23:45.67"},
    // Digits are read without the sign.
    {-12345, u" 1:23.45"},
    // Result codes with a word.
    {666666, u"参加"},
    {700001, u"ｽﾀｰﾄ"},
    {700002, u"泳法"},
    {700003, u"折返"},
    {700004, u"ｺﾞｰﾙ"},
    {700005, u"引継"},
    {700006, u"逸脱"},
    {700007, u"途中"},
    {888888, u"棄権"},
    {999999, u""},
    // Other values from 666666 up print as a time.
    {666667, u"66:66.67"},
    {700000, u"70:00.00"},
    {700008, u"70:00.08"},
    {999998, u"99:99.98"},
};

INSTANTIATE_TEST_SUITE_P(Table, FormatResultTest, ::testing::ValuesIn(kResultCases));

TEST(FormatResultWidth, EveryTimeIsEightCharacters)
{
    for (qint32 value : {10, 99, 100, 999, 1000, 9999, 10000, 99999, 100000, 599999, 1000000})
        EXPECT_EQ(formatResult(value).size(), 8) << value;
}

struct RecordCase {
    qint16 code;
    const char16_t* name;
};

void PrintTo(const RecordCase& c, std::ostream* os)
{
    *os << c.code;
}

class RecordClassNameTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(RecordClassNameTest, NamesTheClass)
{
    EXPECT_EQ(recordClassName(GetParam().code), QString::fromUtf16(GetParam().name));
}

const RecordCase kRecordCases[] = {
    {1, u"世界"},  {2, u"世大"},  {3, u"世高"},      {4, u"世中"},  {5, u"世学"},  {6, u"アジ"},
    {7, u"ア大"},  {8, u"ア高"},  {9, u"ア中"},      {10, u"ア学"}, {11, u"日本"}, {12, u"日大"},
    {13, u"日高"}, {14, u"日中"}, {15, u"日学"},     {16, u"地方"}, {17, u"地大"}, {18, u"地高"},
    {19, u"地中"}, {20, u"地学"}, {21, u"県\u3000"}, {22, u"県大"}, {23, u"県高"}, {24, u"県中"},
    {25, u"県学"}, {26, u"地区"}, {27, u"区大"},     {28, u"区高"}, {29, u"区中"}, {30, u"区学"},
    {31, u"大会"}, {0, u""},      {32, u""},         {-1, u""},     {-32768, u""},
};

INSTANTIATE_TEST_SUITE_P(Table, RecordClassNameTest, ::testing::ValuesIn(kRecordCases));

} // namespace
} // namespace tarvel
