#include "platform/numbers.h"

#include "platform/failure.h"

#include "qstringprinter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tarvel;

namespace {

TEST(NumberText, NonNegativeNumbersGetOneLeadingBlank)
{
    EXPECT_EQ(numberText(10), u" 10"_qs);
    EXPECT_EQ(numberText(0), u" 0"_qs);
    EXPECT_EQ(numberText(-3), u"-3"_qs);
    EXPECT_EQ(numberText(20240601), u" 20240601"_qs);
    EXPECT_EQ(numberText(std::numeric_limits<qint64>::min()), u"-9223372036854775808"_qs);
}

struct ValueCase {
    const char* text;
    double expected;
};

void PrintTo(const ValueCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class NumericValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValue, ReadsTheNumberTheTextBeginsWith)
{
    const ValueCase& c = GetParam();
    EXPECT_DOUBLE_EQ(numericValue(QString::fromUtf8(c.text)), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumericValue,
    ::testing::Values(ValueCase{"  12abc", 12}, ValueCase{"abc", 0}, ValueCase{"", 0},
                      ValueCase{"   ", 0}, ValueCase{"1.5", 1.5}, ValueCase{" 5", 5},
                      ValueCase{"5 ", 5}, ValueCase{"0 5", 5}, ValueCase{"1 2 3", 123},
                      ValueCase{"\t7", 7}, ValueCase{"-3", -3}, ValueCase{"- 3", -3},
                      ValueCase{"+4", 4}, ValueCase{"--4", 0}, ValueCase{"1e3", 1000},
                      ValueCase{"2E-2", 0.02}, ValueCase{"1e+2x", 100}, ValueCase{"3E", 3},
                      ValueCase{"3E+", 3}, ValueCase{"3Ex", 3}, ValueCase{"e5", 0},
                      ValueCase{".5", 0.5}, ValueCase{"5.", 5}, ValueCase{".", 0},
                      ValueCase{"-.", 0}, ValueCase{"1.2.3", 1.2}, ValueCase{"12,5", 12},
                      ValueCase{"007", 7}, ValueCase{" 20240601", 20240601},
                      ValueCase{"\xef\xbc\x91\xef\xbc\x92", 0}, // full-width digits are not digits
                      ValueCase{"1\n2", 1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(NumericValueLimits, HugeInputsDoNotOverflow)
{
    const QString manyDigits(5000, u'9');
    EXPECT_TRUE(std::isinf(numericValue(manyDigits)));
    EXPECT_GT(numericValue(manyDigits), 0);
    EXPECT_TRUE(std::isinf(numericValue(u"-1e999999999999999999999"_qs)));
    EXPECT_LT(numericValue(u"-1e999999999999999999999"_qs), 0);
    EXPECT_EQ(numericValue(u"1e-999999"_qs), 0.0);
    EXPECT_EQ(numericValue(u"0e999999"_qs), 0.0);
    EXPECT_DOUBLE_EQ(numericValue(u"0."_qs + QString(400, u'0') + u"1e401"_qs), 1.0);
    EXPECT_DOUBLE_EQ(numericValue(QString(3000, u'0') + u"42"_qs), 42.0);
}

struct RoundCase {
    double value;
    qint32 expected;
};

void PrintTo(const RoundCase& c, std::ostream* os)
{
    *os << c.value;
}

class ToInt : public ::testing::TestWithParam<RoundCase> {};

TEST_P(ToInt, RoundsHalvesToEven)
{
    const RoundCase& c = GetParam();
    EXPECT_EQ(toInt32(c.value), c.expected) << c.value;
    EXPECT_EQ(toInt16(c.value), c.expected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(Cases, ToInt,
                         ::testing::Values(RoundCase{6.5, 6}, RoundCase{7.5, 8},
                                           RoundCase{-2.5, -2}, RoundCase{-3.5, -4},
                                           RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{-0.5, 0},
                                           RoundCase{2.4999, 2}, RoundCase{2.5001, 3},
                                           RoundCase{-7.6, -8}, RoundCase{32767.4, 32767},
                                           RoundCase{-32768.5, -32768}, RoundCase{0, 0}));

TEST(ToInt16, LimitsAndFailures)
{
    EXPECT_EQ(toInt16(32767), 32767);
    EXPECT_EQ(toInt16(-32768), -32768);
    EXPECT_THROW(toInt16(32767.5), Failure); // rounds to 32768
    EXPECT_THROW(toInt16(-32768.6), Failure);
    EXPECT_THROW(toInt16(std::nan("")), Failure);
    EXPECT_THROW(toInt16(std::numeric_limits<double>::infinity()), Failure);
    try {
        toInt16(40000);
        FAIL() << "40000 fitted 16 bits";
    } catch (const Failure& f) {
        EXPECT_EQ(f.action(), u"converting a number"_qs);
        EXPECT_TRUE(f.path().isEmpty());
        EXPECT_EQ(f.reason(), u"40000 does not fit 16 bits"_qs);
    }
}

TEST(ToInt32, LimitsAndFailures)
{
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_EQ(toInt32(-2147483648.0), std::numeric_limits<qint32>::min());
    EXPECT_EQ(toInt32(40000), 40000);
    EXPECT_THROW(toInt32(2147483647.5), Failure);
    EXPECT_THROW(toInt32(-2147483649.0), Failure);
    EXPECT_THROW(toInt32(-std::numeric_limits<double>::infinity()), Failure);
    EXPECT_THROW(toInt32(1e300), Failure);
    try {
        toInt32(2147483648.0);
        FAIL() << "2147483648 fitted 32 bits";
    } catch (const Failure& f) {
        EXPECT_EQ(f.reason(), u"2147483648 does not fit 32 bits"_qs);
    }
}

} // namespace
