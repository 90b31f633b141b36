#include "naming/events.h"

#include <QString>

#include <gtest/gtest.h>

#include <optional>

namespace tarvel {
namespace {

// One row per boundary of the codes: the last individual event, the first and last relay,
// the custom events and what lies beyond them.
struct KindCase {
    qint16 code;
    bool builtIn;
    bool custom;
    EventKind kind;
};

TEST(EventTable, KindAndRangeOfEveryCodeBoundary)
{
    const KindCase cases[] = {
        {-1, false, false, EventKind::Individual}, {0, false, false, EventKind::Individual},
        {1, true, false, EventKind::Individual},   {22, true, false, EventKind::Individual},
        {23, true, false, EventKind::Relay},       {29, true, false, EventKind::Relay},
        {30, false, true, EventKind::Relay},       {44, false, true, EventKind::Relay},
        {45, false, false, EventKind::Relay},      {32767, false, false, EventKind::Relay},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(builtInEvent(c.code) != nullptr, c.builtIn);
        EXPECT_EQ(isCustomEvent(c.code), c.custom);
        EXPECT_EQ(eventKindOf(c.code), c.kind);
    }
}

// The distance and stroke columns against the event names they describe.
TEST(EventTable, DistanceAndStrokeAgreeWithTheName)
{
    const std::pair<Stroke, const char16_t*> strokeWords[] = {
        {Stroke::Free, u"m自由形"},
        {Stroke::Back, u"m背泳ぎ"},
        {Stroke::Breast, u"m平泳ぎ"},
        {Stroke::Fly, u"mバタフライ"},
        {Stroke::IndividualMedley, u"m個人メドレー"},
        {Stroke::MedleyRelay, u"mメドレーリレー"},
        {Stroke::FreeRelay, u"mリレー"},
    };
    for (qint16 code = 1; code <= kLastBuiltInEvent; ++code) {
        const BuiltInEvent& event = *builtInEvent(code);
        const QString name = QString::fromUtf16(event.name);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(event.code, code);
        std::optional<Stroke> named;
        for (const auto& [stroke, word] : strokeWords)
            if (name == QString::number(event.metres) + QString::fromUtf16(word))
                named = stroke;
        EXPECT_EQ(named, event.stroke);
    }
}

} // namespace
} // namespace tarvel
