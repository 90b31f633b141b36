#pragma once
/// The built-in events by code: name, distance, stroke and kind, in one table.
///
/// Codes 1 to 29 are built in; 30 to 44 are the meet's custom events, named by the master
/// file's custom table (eventnames.h); other codes name nothing. Pure: no state, no I/O.

#include <QtGlobal>

#include <cstddef>
#include <iterator>

namespace tarvel {

enum class Stroke { Free, Back, Breast, Fly, IndividualMedley, MedleyRelay, FreeRelay };

/// How an event's certificates are composed: one per finisher, or one per leg swimmer of
/// each relay team (legs from relay.dat), with the relay rank limit.
enum class EventKind { Individual, Relay };

struct BuiltInEvent {
    qint16 code;
    const char16_t* name;
    int metres;
    Stroke stroke;
    EventKind kind;
};

namespace events {
using enum Stroke;
inline constexpr EventKind kI = EventKind::Individual;
inline constexpr EventKind kR = EventKind::Relay;
inline constexpr BuiltInEvent kTable[] = {
    {1, u"25m自由形", 25, Free, kI},
    {2, u"50m自由形", 50, Free, kI},
    {3, u"100m自由形", 100, Free, kI},
    {4, u"200m自由形", 200, Free, kI},
    {5, u"400m自由形", 400, Free, kI},
    {6, u"800m自由形", 800, Free, kI},
    {7, u"1500m自由形", 1500, Free, kI},
    {8, u"25m背泳ぎ", 25, Back, kI},
    {9, u"50m背泳ぎ", 50, Back, kI},
    {10, u"100m背泳ぎ", 100, Back, kI},
    {11, u"200m背泳ぎ", 200, Back, kI},
    {12, u"25m平泳ぎ", 25, Breast, kI},
    {13, u"50m平泳ぎ", 50, Breast, kI},
    {14, u"100m平泳ぎ", 100, Breast, kI},
    {15, u"200m平泳ぎ", 200, Breast, kI},
    {16, u"25mバタフライ", 25, Fly, kI},
    {17, u"50mバタフライ", 50, Fly, kI},
    {18, u"100mバタフライ", 100, Fly, kI},
    {19, u"200mバタフライ", 200, Fly, kI},
    {20, u"100m個人メドレー", 100, IndividualMedley, kI},
    {21, u"200m個人メドレー", 200, IndividualMedley, kI},
    {22, u"400m個人メドレー", 400, IndividualMedley, kI},
    {23, u"100mメドレーリレー", 100, MedleyRelay, kR},
    {24, u"200mメドレーリレー", 200, MedleyRelay, kR},
    {25, u"400mメドレーリレー", 400, MedleyRelay, kR},
    {26, u"100mリレー", 100, FreeRelay, kR},
    {27, u"200mリレー", 200, FreeRelay, kR},
    {28, u"400mリレー", 400, FreeRelay, kR},
    {29, u"800mリレー", 800, FreeRelay, kR},
};

constexpr bool codesFollowRows()
{
    for (std::size_t i = 0; i < std::size(kTable); ++i)
        if (kTable[i].code != qint16(i + 1))
            return false;
    return true;
}
static_assert(codesFollowRows(), "event code n is row n - 1");
} // namespace events

inline constexpr qint16 kLastBuiltInEvent = qint16(std::size(events::kTable));
inline constexpr qint16 kFirstCustomEvent = kLastBuiltInEvent + 1;
inline constexpr qint16 kLastCustomEvent = 44;

/// The built-in event of `code`; null for any other code.
constexpr const BuiltInEvent* builtInEvent(qint16 code)
{
    if (code < 1 || code > kLastBuiltInEvent)
        return nullptr;
    return &events::kTable[code - 1];
}

constexpr bool isCustomEvent(qint16 code)
{
    return code >= kFirstCustomEvent && code <= kLastCustomEvent;
}

/// The built-in event's kind; every code above the built-in ones, the custom events
/// included, is composed as a relay, as the meet-management system lays them out.
constexpr EventKind eventKindOf(qint16 code)
{
    if (const BuiltInEvent* event = builtInEvent(code))
        return event->kind;
    return code > kLastBuiltInEvent ? EventKind::Relay : EventKind::Individual;
}

} // namespace tarvel
