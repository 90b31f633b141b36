#pragma once
/// The meet the whole-meet benchmarks print: about 250 events over all 1024 races.

#include "meetbuilder.h"

#include <QList>

namespace tarvel::bench {

struct GeneratedMeet {
    int events = 0;
    int relayEvents = 0;
    QList<int> races;
};

/// 1024 races in events of 2 to 6 heats (about 250 events), 8 lanes each, every fifth event
/// a relay with four legs per team, every 25th a custom event. Writes every file of the
/// meet through `builder`, the race statuses excepted; the same meet every time.
GeneratedMeet writeBenchMeet(sample::MeetBuilder& builder);

} // namespace tarvel::bench
