#include "printrun/certificatewanted.h"

#include "naming/resulttext.h"
#include "platform/numbers.h"
#include "printrun/printchoices.h"

namespace tarvel {

namespace {

/// Width of the registration number field: a longer prefix can never match.
constexpr qsizetype kRegNoWidth = 14;

// Custom events (30 and up) have no distance or stroke: only 全部 takes them.
bool hasDistance(int distance, qint16 eventCode)
{
    if (distance == 0)
        return true;
    const BuiltInEvent* event = builtInEvent(eventCode);
    const int metres = metresOfChoice(distance);
    return event && metres != 0 && event->metres == metres;
}

bool hasStroke(int stroke, qint16 eventCode)
{
    if (stroke == 0)
        return true;
    if (stroke < 1 || stroke >= kStrokeOptionCount)
        return false;
    const BuiltInEvent* event = builtInEvent(eventCode);
    return event && event->stroke == kStrokeOfChoice[stroke - 1];
}

bool hasRound(int round, const QString& roundCode)
{
    if (round == 0)
        return true;
    if (round < 1 || round >= kRoundOptionCount)
        return false;
    return roundCode == QString::number(round);
}

bool hasSex(int sex, const QString& raceSex)
{
    if (sex == 0)
        return true;
    if (sex < 1 || sex >= kSexOptionCount)
        return false;
    return raceSex == QString::number(sex);
}

bool hasNumberPrefix(const QString& prefix, const QString& regNo)
{
    if (prefix.isEmpty())
        return true;
    return prefix.size() <= kRegNoWidth && regNo.startsWith(prefix);
}

} // namespace

bool EventWanted(const RaceRecord& race, const PrintOptions& options)
{
    return hasDistance(options.distance, race.eventCode)
           && hasStroke(options.stroke, race.eventCode) && hasRound(options.round, race.roundCode)
           && hasSex(options.sex, race.raceSex);
}

bool CertificateWanted(const RaceRecord& race, qint32 result, int rank, const QString& regNo,
                       EventKind kind, const PrintOptions& options)
{
    // The tests are pure, so the first one that fails decides.
    if (result > kParticipation)
        return false;
    if (!EventWanted(race, options))
        return false;
    if (!hasNumberPrefix(options.numberPrefix, regNo))
        return false;
    const QString& limit =
        kind == EventKind::Relay ? options.rankLimitRelay : options.rankLimitIndividual;
    return rank <= numericValue(limit);
}

} // namespace tarvel
