#pragma once
/// The filters that decide whether a composed certificate is printed.

#include "naming/events.h"
#include "naming/racerecord.h"
#include "printrun/printoptions.h"

#include <QString>

namespace tarvel {

/// The tests that concern the whole event (distance, stroke, round, sex): an event that
/// fails one of them gets no certificate at all. Pure.
bool EventWanted(const RaceRecord& race, const PrintOptions& options);

/// Applies every test in order (result, distance, stroke, round, sex, number prefix, rank
/// limit); a failing test is never turned back. `race` is the heat the finisher swam in,
/// `regNo` the registration number of the certificate's swimmer (for a relay leg, the leg
/// swimmer's; empty for a leg without one). Pure: reads nothing else.
bool CertificateWanted(const RaceRecord& race, qint32 result, int rank, const QString& regNo,
                       EventKind kind, const PrintOptions& options);

} // namespace tarvel
