#include "platform/listinput.h"

#include <QStringList>

#include "qstringprinter.h"

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

/// Every item of the input, with "<end>" where next() said the input ended.
QStringList readAll(const QByteArray& content)
{
    ListInput input(content);
    QStringList items;
    for (int guard = 0; guard < 100; ++guard) {
        const bool endBefore = input.atEnd();
        const std::optional<QString> item = input.next();
        EXPECT_EQ(endBefore, !item.has_value()) << "atEnd() disagrees with next()";
        if (!item) {
            items << u"<end>"_qs;
            // Reading on at the end stays at the end.
            EXPECT_FALSE(input.next().has_value());
            return items;
        }
        items << *item;
    }
    ADD_FAILURE() << "the input never ended";
    return items;
}

struct ListCase {
    const char* name;
    QByteArray content;
    QStringList expected;
};

void PrintTo(const ListCase& c, std::ostream* os)
{
    *os << c.name;
}

class ListInputItems : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListInputItems, SplitsAsTheMeetSystemWrites)
{
    const ListCase& c = GetParam();
    EXPECT_EQ(readAll(c.content), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListInputItems,
    ::testing::Values(
        ListCase{"commas", "a,b,c", {u"a"_qs, u"b"_qs, u"c"_qs, u"<end>"_qs}},
        ListCase{"crlf", "a\r\nb\r\n", {u"a"_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"lf", "a\nb\n", {u"a"_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"cr", "a\rb\r", {u"a"_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"blankLinesBetween", "a\r\n\r\n\nb", {u"a"_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"blanksBeforeItemsSkipped", "  a,\t b", {u"a"_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"blanksAfterItemKept", "a  ,b", {u"a  "_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"quotedWithComma", "\"a,b\",c", {u"a,b"_qs, u"c"_qs, u"<end>"_qs}},
        ListCase{"quotedKeepsBlanks", "\"  x \",y", {u"  x "_qs, u"y"_qs, u"<end>"_qs}},
        ListCase{"quotedThenLineBreak", "\"a\"\r\n\"b\"", {u"a"_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"textAfterQuoteSkipped", "\"a\"junk,b", {u"a"_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"emptyQuoted", "\"\",b", {QString(), u"b"_qs, u"<end>"_qs}},
        ListCase{"unterminatedQuote", "\"a,b\r\nc", {u"a,b\r\nc"_qs, u"<end>"_qs}},
        ListCase{"emptyItemBetweenCommas", "a,,b", {u"a"_qs, QString(), u"b"_qs, u"<end>"_qs}},
        ListCase{"leadingEmptyItem", ",b", {QString(), u"b"_qs, u"<end>"_qs}},
        ListCase{"trailingCommaIsNotAnItem", "a,", {u"a"_qs, u"<end>"_qs}},
        ListCase{"commaThenLineBreak", "a,\r\nb,\r\n", {u"a"_qs, u"b"_qs, u"<end>"_qs}},
        ListCase{"empty", "", {u"<end>"_qs}}, ListCase{"onlyBlanks", " \t\r\n ", {u"<end>"_qs}},
        ListCase{"layoutLine",
                 "1,120,340,14,\"\x91\xe6\x82\x50\x89\xf1\",",
                 {u"1"_qs, u"120"_qs, u"340"_qs, u"14"_qs, u"第１回"_qs, u"<end>"_qs}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ListInput, DecodesCp932Items)
{
    // "C:\大会\data\" and a quoted "ﾀｲﾑ,表": a trail byte 0x5C is not a separator.
    const QByteArray content = QByteArray("C:\\") + QByteArray("\x91\xe5\x89\xef")
                               + QByteArray("\\data\\,\"") + QByteArray("\xc0\xb2\xd1,\x95\x5c")
                               + QByteArray("\"\r\n");
    EXPECT_EQ(readAll(content), (QStringList{u"C:\\大会\\data\\"_qs, u"ﾀｲﾑ,表"_qs, u"<end>"_qs}));
}

TEST(ListInput, BrokenCp932DoesNotSwallowSeparators)
{
    // A lead byte right before the comma must not join with it.
    const QByteArray content("a\x82,b");
    EXPECT_EQ(readAll(content), (QStringList{u"a\uFFFD"_qs, u"b"_qs, u"<end>"_qs}));
}

} // namespace
