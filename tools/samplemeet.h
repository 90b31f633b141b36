#pragma once
/// The demo's sample meet: a small junior meet with every kind of event and result.

#include "meetbuilder.h"

namespace tarvel::sample {

struct SampleMeetSummary {
    int races = 0;
    int events = 0;
    int swimmers = 0;
    int relayTeams = 0;
};

/// Writes a complete, plainly invented junior meet into `builder`'s folder: the location
/// file, the meet header (age-grouped certificates, 8 lanes), the master file with swimmers,
/// relay teams and a custom event, taikai.dat with every race, relay.dat with every leg,
/// Race.dat with every race ready ("8") and a certificate layout in tarvel.dat.
///
/// Age groups are a meet-wide setting (meet kind 4, group mode 1), so the meet is a junior
/// meet: every event is ranked within its age groups. Most events are for one age band and
/// so form a single group; the women's 400m individual medley takes girls of 11 to 17 and is
/// ranked per group. The content is deterministic.
SampleMeetSummary writeSampleMeet(MeetBuilder& builder);

} // namespace tarvel::sample
