#include "platform/failure.h"

#include "qstringprinter.h"

#include <gtest/gtest.h>

namespace tarvel {
namespace {

// The message says each part once, in order, and leaves out what the failure does not know.
TEST(Failure, MessageNamesOnlyThePartsItHas)
{
    using Place = Failure::Place;
    const struct {
        Failure failure;
        QString message;
    } cases[] = {
        {Failure(u"saving"_qs, QString(), u"disk full"_qs), u"saving: disk full"_qs},
        {Failure(u"saving"_qs, u"a.dat"_qs, u"disk full"_qs), u"saving: a.dat: disk full"_qs},
        {Failure(u"reading race 5"_qs, u"taikai.dat"_qs, Place{15, 3584}, u"past the end"_qs),
         u"reading race 5: taikai.dat: record 15 at byte 3584: past the end"_qs},
        {Failure(u"reading"_qs, u"taikai.dat"_qs, Place{0, std::nullopt}, u"no such record"_qs),
         u"reading: taikai.dat: record 0: no such record"_qs},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.failure.message(), c.message);
        EXPECT_EQ(QString::fromUtf8(c.failure.what()), c.message);
    }
    const Failure placed(u"reading"_qs, u"relay.dat"_qs, Place{510, 130304}, u"short"_qs,
                         Failure::Kind::Damaged);
    EXPECT_EQ(placed.record(), 510);
    EXPECT_EQ(placed.offset(), 130304);
    EXPECT_EQ(placed.reason(), u"short"_qs) << "the place is not folded into the reason";
    EXPECT_EQ(placed.kind(), Failure::Kind::Damaged);
    EXPECT_EQ(Failure(u"a"_qs, u"b"_qs, u"c"_qs).record(), std::nullopt);
}

} // namespace
} // namespace tarvel
