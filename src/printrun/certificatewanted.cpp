#include "printrun/certificatewanted.h"

#include "naming/resulttext.h"
#include "platform/numbers.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace tarvel {

namespace {

/// Width of the registration number field: a longer prefix can never match.
constexpr qsizetype kRegNoWidth = 14;

bool contains(std::initializer_list<qint16> codes, qint16 eventCode)
{
    return std::find(codes.begin(), codes.end(), eventCode) != codes.end();
}

/// The events of each distance button; custom events (30 and up) are in none.
bool hasDistance(int distance, qint16 eventCode)
{
    switch (distance) {
    case 0: return true;
    case 1: return contains({1, 8, 12, 16}, eventCode);
    case 2: return contains({2, 9, 13, 17}, eventCode);
    case 3: return contains({3, 10, 14, 18, 20, 23, 26}, eventCode);
    case 4: return contains({4, 11, 15, 19, 21, 24, 27}, eventCode);
    case 5: return contains({5, 22, 25, 28}, eventCode);
    case 6: return contains({6, 29}, eventCode);
    case 7: return contains({7}, eventCode);
    default: return false;
    }
}

struct CodeRange {
    qint16 low;
    qint16 high;
};

/// The event codes of each stroke button, index 1 to 7.
constexpr std::array<CodeRange, 7> kStrokeRanges = {{
    {1, 7},
    {8, 11},
    {12, 15},
    {16, 19},
    {20, 22},
    {23, 25},
    {26, 29},
}};

bool hasStroke(int stroke, qint16 eventCode)
{
    if (stroke == 0)
        return true;
    if (stroke < 1 || stroke > int(kStrokeRanges.size()))
        return false;
    const CodeRange range = kStrokeRanges[stroke - 1];
    return eventCode >= range.low && eventCode <= range.high;
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
