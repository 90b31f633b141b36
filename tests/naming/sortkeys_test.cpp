#include "naming/sortkeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace tarvel {
namespace {

const QString kSlotZero = u"not a key"_qs;

/// A finisher key: " 1", a six-digit result, " 1", a four-digit race and a two-digit lane.
QString finisherKey(std::mt19937& random)
{
    std::uniform_int_distribution<int> result(0, 999999);
    std::uniform_int_distribution<int> race(1, 1024);
    std::uniform_int_distribution<int> lane(1, 12);
    return u" 1"_qs + QString::number(result(random)).rightJustified(6, u'0') + u" 1"_qs
           + QString::number(race(random)).rightJustified(4, u'0')
           + QString::number(lane(random)).rightJustified(2, u'0');
}

TEST(SortKeys, SortsElementsOneToNAndLeavesTheRest)
{
    std::mt19937 random(20030301);
    for (int round = 0; round < 2000; ++round) {
        const int keyCount = std::uniform_int_distribution<int>(0, 60)(random);
        std::set<QString> distinct;
        while (static_cast<int>(distinct.size()) < keyCount)
            distinct.insert(finisherKey(random));
        QStringList keys(distinct.begin(), distinct.end());
        std::shuffle(keys.begin(), keys.end(), random);
        keys.prepend(kSlotZero);
        const int n = std::uniform_int_distribution<int>(0, keyCount)(random);

        QStringList sorted = keys;
        sortKeys(sorted, n);

        ASSERT_EQ(sorted.size(), keys.size());
        EXPECT_EQ(sorted.at(0), kSlotZero);
        for (int i = 2; i <= n; ++i)
            ASSERT_LT(sorted.at(i - 1), sorted.at(i)) << "round " << round << " n " << n;
        for (int i = n + 1; i < keys.size(); ++i)
            ASSERT_EQ(sorted.at(i), keys.at(i)) << "round " << round << " n " << n;
        QStringList before = keys.mid(1, n);
        QStringList after = sorted.mid(1, n);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        ASSERT_EQ(after, before) << "round " << round;
    }
}

struct SortCase {
    const char* name;
    QStringList list;
    int n;
    QStringList sorted;
};

class SortKeysCases : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortKeysCases, Sorts)
{
    QStringList list = GetParam().list;
    sortKeys(list, GetParam().n);
    EXPECT_EQ(list, GetParam().sorted);
}

// Element 0 is larger than everything, so a sort that touched it would move it.
const SortCase kSortCases[] = {
    {"NothingWithZero", {u"z"_qs, u"b"_qs, u"a"_qs}, 0, {u"z"_qs, u"b"_qs, u"a"_qs}},
    {"NothingWithOne", {u"z"_qs, u"b"_qs, u"a"_qs}, 1, {u"z"_qs, u"b"_qs, u"a"_qs}},
    {"TwoOrdered", {u"z"_qs, u"b"_qs, u"a"_qs}, 2, {u"z"_qs, u"a"_qs, u"b"_qs}},
    {"TwoAlreadyInOrder", {u"z"_qs, u"a"_qs, u"b"_qs}, 2, {u"z"_qs, u"a"_qs, u"b"_qs}},
    {"TwoOfFourLeavesTheTail",
     {u"z"_qs, u"c"_qs, u"b"_qs, u"a"_qs},
     2,
     {u"z"_qs, u"b"_qs, u"c"_qs, u"a"_qs}},
    {"NegativeCount", {u"z"_qs, u"b"_qs, u"a"_qs}, -3, {u"z"_qs, u"b"_qs, u"a"_qs}},
    {"CountPastTheListIsClamped",
     {u"z"_qs, u"c"_qs, u"a"_qs, u"b"_qs},
     40,
     {u"z"_qs, u"a"_qs, u"b"_qs, u"c"_qs}},
    {"EmptyList", {}, 5, {}},
    // By code unit: blank before digits before upper case before lower case.
    {"CodeUnitOrder",
     {u"~"_qs, u"b"_qs, u"B"_qs, u"1"_qs, u" 1"_qs},
     4,
     {u"~"_qs, u" 1"_qs, u"1"_qs, u"B"_qs, u"b"_qs}},
};

INSTANTIATE_TEST_SUITE_P(Table, SortKeysCases, ::testing::ValuesIn(kSortCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvel
