#include "printrun/eventcertificates.h"

#include "layout/drawing.h"
#include "meetdb/classlabel.h"
#include "meetdb/masterfile.h"
#include "meetdb/meetfiles.h"
#include "meetdb/racestatus.h"
#include "naming/eventnames.h"
#include "naming/eventtitle.h"
#include "naming/relayrecord.h"
#include "naming/resulttext.h"
#include "naming/sortkeys.h"
#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/recordfile.h"
#include "platform/words.h"
#include "printrun/certificatewanted.h"
#include "printrun/runcontext.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <map>
#include <optional>

namespace tarvel {

namespace {

/// Key of a listed finisher: " 1" + six result digits, then " 1" + race (4) + lane (2).
/// Keys sort by result, then race, then lane.
QString finisherKey(qint32 result, int raceNo, int lane)
{
    return numberText(1000000LL + result) + numberText(1000000LL + raceNo * 100LL + lane);
}

struct KeyPlace {
    int raceNo = 0;
    int lane = 0;
};

/// Race and lane of a key, read from its end: the last six characters are RRRRLL even when a
/// damaged (negative) result shortened the front of the key.
KeyPlace placeOf(const QString& key)
{
    return {key.mid(key.size() - 6, 4).toInt(), key.right(2).toInt()};
}

bool isListed(qint16 entryNo, qint32 result)
{
    return entryNo != 0 && result != 0 && result < kNoResult;
}

enum class Grouping { None, ByAge, ByClassCode };

struct GroupPlan {
    Grouping grouping = Grouping::None;
    int first = 1;
    int last = 1;
};

/// Grouped certificates are a meet-wide choice (meet kind 4); the age groups run for an
/// event depend on its sex: girls of 17 and 18 are in group 5, which boys leave at 16.
GroupPlan groupPlan(const MeetSettings& meet, const QString& raceSex)
{
    if (numericValue(meet.meetKind) != 4)
        return {};
    const double mode = numericValue(meet.groupMode);
    if (mode == 1) {
        if (raceSex == u"1")
            return {Grouping::ByAge, 1, 6};
        if (raceSex == u"2")
            return {Grouping::ByAge, 1, 5};
        return {Grouping::ByAge, 1, 1};
    }
    if (mode == 2)
        return {Grouping::ByClassCode, 51, 99};
    return {};
}

bool isInAgeGroup(int group, qint16 age, const QString& sexCode)
{
    switch (group) {
    case 1: return age <= 8;
    case 2: return age >= 9 && age <= 10;
    case 3: return age >= 11 && age <= 12;
    case 4: return age >= 13 && age <= 14;
    case 5:
        return (sexCode == u"1" && age >= 15 && age <= 16)
               || (sexCode == u"2" && age >= 15 && age <= 18);
    case 6: return age >= 17 && age <= 18;
    default: return false;
    }
}

/// `entry` is the lane's entry: the swimmer, or for a relay the team's own record.
bool belongsTo(const GroupPlan& plan, int group, const SwimmerRecord& entry)
{
    switch (plan.grouping) {
    case Grouping::None: return true;
    case Grouping::ByAge: return isInAgeGroup(group, entry.age, entry.sexCode);
    case Grouping::ByClassCode: return numericValue(entry.gradeCode) == group;
    }
    return false;
}

QString rankText(qint32 result, int rank)
{
    if (result >= kParticipation)
        return u"   "_qs;
    return (u"   "_qs + numberText(rank)).right(3) + u"位"_qs;
}

QString remarkText(qint16 recordCode)
{
    if (recordCode == 0)
        return QString();
    return recordClassName(recordCode) + u"新"_qs;
}

/// Cut from the date's decimal text whatever its length: 0 gives "0年月0日".
QString meetDateText(qint32 meetDate)
{
    const QString digits = QString::number(meetDate);
    return digits.left(4) + u"年"_qs + digits.mid(4, 2) + u"月"_qs + digits.right(2) + u"日"_qs;
}

QString ageText(qint16 age)
{
    return numberText(age).right(2);
}

QString cleanedField(QString text)
{
    text.replace(QChar(u'\0'), QChar(u' '));
    return cleanText(text, 1);
}

/// The leg swimmers of one lane of a relay race. An index that names no record of the file is
/// damage of the race record or of relay.dat: four nameless certificates would be four lost ones.
std::array<qint16, kLegCount> legSwimmers(const DataLocations& where, qint16 relayIndex, int lane)
{
    const QString action = Words::tr("reading the relay team of lane %1").arg(lane + 1);
    if (relayIndex < 1)
        throw Failure(action, meetFilePath(where, MeetFile::Relays),
                      Words::tr("the race's relay index %1 names no record").arg(relayIndex),
                      Failure::Kind::Damaged);
    const RecordFile file = openMeetFile(where, MeetFile::Relays, kRelayRecordLength);
    const qint64 recordNo = numberedRecord(relayIndex);
    if (!file.holdsRecord(recordNo))
        failRecordPastEnd(file, recordNo, action);
    const RelayRecord relay = decodeRelay(file.readRecord(recordNo));
    std::array<qint16, kLegCount> legs{};
    for (int leg = 0; leg < kLegCount; ++leg)
        legs[leg] = relay.legSwimmerNo[leg][lane];
    return legs;
}

/// One event's pass over its finishers; holds what the calls of one event share.
class EventComposer {
public:
    explicit EventComposer(const RunContext& run) : run_(run) {}

    EventSummary compose(int raceNo, const RaceRecord& race)
    {
        eventRace_ = raceNo;
        QStringList keys = collectFinishers(raceNo, race);
        const int count = int(keys.size()) - 1;
        summary_.finishers = count;
        sortKeys(keys, count);

        const MasterFile master = MasterFile::open(run_.session.where);
        classScheme_ = master.header().classScheme;
        const GroupPlan plan = groupPlan(run_.session.meet, race.raceSex);
        for (int group = plan.first; group <= plan.last; ++group) {
            int counter = 0;
            int rank = 0;
            std::optional<qint32> previous;
            // A pass reads each heat when its first finisher comes up and keeps that reading
            // for the heat's other finishers, rather than re-opening taikai.dat per finisher.
            std::map<int, RaceRecord> heats;
            for (int i = 1; i <= count; ++i) {
                const KeyPlace place = placeOf(keys.at(i));
                auto found = heats.find(place.raceNo);
                if (found == heats.end()) {
                    const RaceRecord read = loadRace(run_.session.where, place.raceNo);
                    found = heats.emplace(place.raceNo, read).first;
                }
                const RaceRecord& heat = found->second;
                const SwimmerRecord entry = master.loadSwimmer(heat.laneEntryNo[place.lane]);
                if (!belongsTo(plan, group, entry))
                    continue;
                const qint32 result = heat.laneResult[place.lane];
                ++counter;
                if (previous != result)
                    rank = counter;
                previous = result;
                composeFinisher(master, heat, place, rank, entry);
            }
        }
        return summary_;
    }

private:
    /// Element 0 is left empty: sortKeys works on elements 1 to n.
    QStringList collectFinishers(int raceNo, const RaceRecord& race) const
    {
        const int first = std::max(1, raceNo - race.heatNo + 1);
        const int last = std::min(kRaceCount, raceNo - race.heatNo + race.heatCount);
        const int lanes = std::clamp<int>(run_.session.meet.laneCount, 0, kLanesPerRace);
        QStringList keys{QString()};
        for (int raceInEvent = first; raceInEvent <= last; ++raceInEvent) {
            const RaceRecord heat = loadRace(run_.session.where, raceInEvent);
            for (int lane = 0; lane < lanes; ++lane) {
                if (isListed(heat.laneEntryNo[lane], heat.laneResult[lane]))
                    keys << finisherKey(heat.laneResult[lane], raceInEvent, lane);
            }
        }
        return keys;
    }

    void composeFinisher(const MasterFile& master, const RaceRecord& heat, KeyPlace place, int rank,
                         const SwimmerRecord& entry)
    {
        fillEventItems(heat, place.lane, rank, entry);
        if (eventKindOf(heat.eventCode) == EventKind::Individual) {
            fillPersonItems(entry);
            finish(heat, place, std::nullopt, rank, entry.regNo);
            return;
        }
        const std::array<qint16, kLegCount> legs =
            legSwimmers(run_.session.where, heat.relayIndex, place.lane);
        for (int leg = 0; leg < kLegCount; ++leg) {
            if (legs[leg] == 0) {
                clearPersonItems();
                // No swimmer is loaded for an empty leg; its number prefix is tested against
                // an empty number rather than whichever record was loaded last.
                finish(heat, place, leg, rank, QString());
                continue;
            }
            const SwimmerRecord swimmer = master.loadSwimmer(legs[leg]);
            fillPersonItems(swimmer);
            finish(heat, place, leg, rank, swimmer.regNo);
        }
    }

    /// Items of the race and of the lane's entry (for a relay: the team's prefecture and
    /// affiliation).
    void fillEventItems(const RaceRecord& heat, int lane, int rank, const SwimmerRecord& entry)
    {
        ItemTexts& text = run_.session.itemText;
        const MeetSettings& meet = run_.session.meet;
        const qint32 result = heat.laneResult[lane];
        text[kItemClass] = className(heat.classLow, heat.classHigh, heat.eventCode,
                                     ClassNaming{run_.session.where, meet.groupMode, classScheme_});
        text[kItemEvent] = eventName(heat.eventCode, run_.session.where);
        text[kItemRank] = rankText(result, rank);
        text[kItemPrefecture] = entry.prefecture.left(3);
        text[kItemAffiliation] = cleanedField(entry.affiliation);
        text[kItemResult] = formatResult(result);
        text[kItemRemark] = remarkText(heat.laneRecordCode[lane]);
        text[kItemDate] = meetDateText(meet.meetDate);
        text[kItemMeetName] = meet.meetName;
        text[kItemVenue] = meet.venue;
    }

    void fillPersonItems(const SwimmerRecord& person)
    {
        ItemTexts& text = run_.session.itemText;
        text[kItemName] = cleanedField(person.swimmerName);
        text[kItemAge] = ageText(person.age);
        text[kItemGrade] = classLabel(person.gradeCode, classScheme_);
        text[kItemNumber] = person.regNo.left(5);
    }

    void clearPersonItems()
    {
        for (int item : {kItemName, kItemAge, kItemGrade, kItemNumber})
            run_.session.itemText[item].clear();
    }

    void finish(const RaceRecord& heat, KeyPlace place, std::optional<int> leg, int rank,
                const QString& regNo)
    {
        const qint32 result = heat.laneResult[place.lane];
        if (!CertificateWanted(heat, result, rank, regNo, eventKindOf(heat.eventCode),
                               run_.options))
            return;
        if (run_.preview)
            drawPreview(*run_.preview, run_.session.layout, run_.session.itemText);
        printPage(run_.printer, run_.session.layout, run_.session.itemText,
                  run_.options.previewOnly);
        ++summary_.certificates;
        if (run_.options.previewOnly == PreviewOnly::No)
            ++summary_.pages;
        if (run_.observer)
            run_.observer->certificateAccepted(
                {place.raceNo, place.lane, leg, run_.session.itemText, eventRace_,
                 undrawableCharacters(run_.printer, run_.session.layout, run_.session.itemText),
                 heat.heatNo});
    }

    RunContext run_;
    qint16 classScheme_ = 0;
    int eventRace_ = 0;
    EventSummary summary_;
};

} // namespace

QString eventDocumentTitle(const Session& session, int raceNo, const RaceRecord& race)
{
    return eventTitle(raceNo, race, eventName(race.eventCode, session.where));
}

EventSummary ComposeEventCertificates(Session& session, int raceNo, const RaceRecord& race,
                                      const PrintOptions& options, PrintDevice& printer,
                                      PreviewSurface* preview, RunObserver* observer)
{
    try {
        printer.setDocumentName(eventDocumentTitle(session, raceNo, race));
        return EventComposer({session, options, printer, preview, observer}).compose(raceNo, race);
    } catch (...) {
        // Marks follow delivery: an event is sent whole or not at all, and the pages composed
        // so far would come out again with the whole event on the next run.
        printer.abortDocument();
        throw;
    }
}

EventSummary PrintEventCertificates(Session& session, int raceNo, const RaceRecord& race,
                                    const PrintOptions& options, PrintDevice& printer,
                                    PreviewSurface* preview, RunObserver* observer)
{
    const EventSummary summary =
        ComposeEventCertificates(session, raceNo, race, options, printer, preview, observer);
    try {
        if (summary.pages > 0)
            printer.beginDelivery();
        else
            printer.endDocument(); // nothing drawn: nothing to send
    } catch (...) {
        printer.abortDocument();
        throw;
    }
    return summary;
}

} // namespace tarvel
