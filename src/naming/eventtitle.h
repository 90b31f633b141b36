#pragma once
/// The short title that names an event to the operator and to the printer's queue:
/// "R012 男子 100m自由形 決勝".

#include "naming/racerecord.h"

#include <QString>

namespace tarvel {

/// "R012": the race number, at least three digits.
QString raceLabel(int raceNo);

/// The race label of the event's last heat, then the sex, the event's printed name and
/// the round, each left out when the record gives none. Pure: `eventName` is the event's
/// name as eventName() gives it.
QString eventTitle(int raceNo, const RaceRecord& race, const QString& eventName);

} // namespace tarvel
