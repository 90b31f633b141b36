#include "printrun/certificatewanted.h"

#include <gtest/gtest.h>

namespace tarvel {
namespace {

RaceRecord race(qint16 eventCode, const char16_t* roundCode = u"2", const char16_t* sex = u"1")
{
    RaceRecord record;
    record.eventCode = eventCode;
    record.roundCode = QString::fromUtf16(roundCode);
    record.raceSex = QString::fromUtf16(sex);
    return record;
}

/// Every option at 全部, rank limits 3: the filters test only result and rank.
PrintOptions allOptions()
{
    PrintOptions options;
    options.round = 0;
    return options;
}

PrintOptions with(void (*change)(PrintOptions&))
{
    PrintOptions options = allOptions();
    change(options);
    return options;
}

struct Row {
    const char* name;
    RaceRecord race;
    qint32 result;
    int rank;
    QString regNo;
    EventKind kind;
    PrintOptions options;
    bool wanted;
};

const QString kRegNo12 = u"12345678901234"_qs;
constexpr EventKind kSolo = EventKind::Individual;
constexpr EventKind kRelay = EventKind::Relay;

TEST(CertificateWantedTest, Table)
{
    const PrintOptions start;
    const PrintOptions all = allOptions();
    const std::vector<Row> rows = {
        // The start options: finals only, ranks 1 to 3.
        {"start: final rank 1", race(3, u"2"), 5432, 1, kRegNo12, kSolo, start, true},
        {"start: heat", race(3, u"1"), 5432, 1, kRegNo12, kSolo, start, false},
        {"start: semi-final", race(3, u"4"), 5432, 1, kRegNo12, kSolo, start, false},
        // Result bands.
        {"rank 3 within 3", race(3), 5432, 3, kRegNo12, kSolo, all, true},
        {"rank 4 beyond 3", race(3), 5432, 4, kRegNo12, kSolo, all, false},
        {"participation rank 3", race(3), 666666, 3, kRegNo12, kSolo, all, true},
        {"start foul", race(3), 700001, 1, kRegNo12, kSolo, all, false},
        {"withdrawal", race(3), 888888, 1, kRegNo12, kSolo, all, false},
        {"just above participation", race(3), 666667, 1, kRegNo12, kSolo, all, false},
        // Participant ranked 9: only with a limit of 9.
        {"participant 9, limit 8", race(3), 666666, 9, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.rankLimitIndividual = u"8"_qs; }), false},
        {"participant 9, limit 9", race(3), 666666, 9, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.rankLimitIndividual = u"9"_qs; }), true},
        // Rank limits: numeric value, fraction allowed, empty is 0, relays have their own.
        {"limit empty", race(3), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.rankLimitIndividual.clear(); }), false},
        {"limit 2.5, rank 2", race(3), 5432, 2, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.rankLimitIndividual = u" 2.5"_qs; }), true},
        {"limit 2.5, rank 3", race(3), 5432, 3, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.rankLimitIndividual = u"2.5"_qs; }), false},
        {"limit not a number", race(3), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.rankLimitIndividual = u"abc"_qs; }), false},
        {"relay uses the relay limit", race(26), 5432, 5, kRegNo12, kRelay,
         with([](PrintOptions& o) {
             o.rankLimitIndividual.clear();
             o.rankLimitRelay = u"5"_qs;
         }),
         true},
        {"relay beyond the relay limit", race(26), 5432, 4, kRegNo12, kRelay,
         with([](PrintOptions& o) { o.rankLimitIndividual = u"9"_qs; }), false},
        // Distance sets.
        {"100: back stroke", race(10), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.distance = 3; }), true},
        {"100: medley", race(20), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.distance = 3; }), true},
        {"100: free relay", race(26), 5432, 1, kRegNo12, kRelay,
         with([](PrintOptions& o) { o.distance = 3; }), true},
        {"100: 200 free", race(4), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.distance = 3; }), false},
        {"800: free relay 800", race(29), 5432, 1, kRegNo12, kRelay,
         with([](PrintOptions& o) { o.distance = 6; }), true},
        {"1500 only 1500 free", race(6), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.distance = 7; }), false},
        // Stroke ranges.
        {"fly: 200 fly", race(19), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.stroke = 4; }), true},
        {"fly: 100 medley", race(20), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.stroke = 4; }), false},
        {"medley relay: 400", race(25), 5432, 1, kRegNo12, kRelay,
         with([](PrintOptions& o) { o.stroke = 6; }), true},
        {"free relay: medley relay", race(25), 5432, 1, kRegNo12, kRelay,
         with([](PrintOptions& o) { o.stroke = 7; }), false},
        // Custom events pass only while distance and stroke are 全部.
        {"custom, all", race(30), 5432, 1, kRegNo12, kRelay, all, true},
        {"custom, a distance", race(30), 5432, 1, kRegNo12, kRelay,
         with([](PrintOptions& o) { o.distance = 3; }), false},
        {"custom, a stroke", race(44), 5432, 1, kRegNo12, kRelay,
         with([](PrintOptions& o) { o.stroke = 7; }), false},
        // Round and sex.
        {"semi-final chosen", race(3, u"4"), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.round = 4; }), true},
        {"consolation chosen, final", race(3, u"2"), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.round = 3; }), false},
        {"women chosen, women's race", race(3, u"2", u"2"), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.sex = 2; }), true},
        {"women chosen, men's race", race(3, u"2", u"1"), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.sex = 2; }), false},
        {"men chosen, blank sex", race(3, u"2", u" "), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.sex = 1; }), false},
        // Number prefix.
        {"prefix 12 matches", race(3), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.numberPrefix = u"12"_qs; }), true},
        {"prefix 12, number 21", race(3), 5432, 1, u"21345678901234"_qs, kSolo,
         with([](PrintOptions& o) { o.numberPrefix = u"12"_qs; }), false},
        {"prefix of all 14", race(3), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.numberPrefix = kRegNo12; }), true},
        {"prefix longer than 14", race(3), 5432, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.numberPrefix = kRegNo12 + u"5"_qs; }), false},
        {"prefix, leg without swimmer", race(26), 5432, 1, QString(), kRelay,
         with([](PrintOptions& o) { o.numberPrefix = u"1"_qs; }), false},
        // A failing test is not turned back by later passing ones.
        {"good rank, disqualified", race(3), 700007, 1, kRegNo12, kSolo,
         with([](PrintOptions& o) { o.rankLimitIndividual = u"99"_qs; }), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const bool wanted =
            CertificateWanted(row.race, row.result, row.rank, row.regNo, row.kind, row.options);
        EXPECT_EQ(wanted, row.wanted);
    }
}

TEST(CertificateWantedTest, TwentyFiveWithMedleyPassesNoEvent)
{
    PrintOptions options = allOptions();
    options.distance = 1;
    options.stroke = 5;
    for (qint16 eventCode = 0; eventCode <= 45; ++eventCode) {
        SCOPED_TRACE(eventCode);
        EXPECT_FALSE(
            CertificateWanted(race(eventCode), 5432, 1, kRegNo12, eventKindOf(eventCode), options));
    }
}

} // namespace
} // namespace tarvel
