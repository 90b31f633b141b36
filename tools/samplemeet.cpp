#include "samplemeet.h"
#include "sampleswimming.h"

#include "layout/certificateitems.h"
#include "layout/layoutfile.h"
#include "platform/recordfile.h"

#include <QList>
#include <QMap>

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvel::sample {

namespace {

struct Swimmer {
    qint32 entryNo = 0;
    int club = 0;
    qint16 age = 0;
    Sex sex = Sex::Boys;
};

struct Entry {
    qint32 entryNo = 0;
    qint64 hundredths = 0;
    std::array<qint16, kLegCount> legs{}; // relay teams only
};

struct EventShape {
    Stroke stroke;
    int metres;
};

/// How an event is swum: the built-in events by their table; the sample's one custom event
/// is a 100 m free relay of the youngest.
EventShape shapeOf(qint16 eventCode)
{
    if (const BuiltInEvent* event = builtInEvent(eventCode))
        return {event->stroke, event->metres};
    return {Stroke::FreeRelay, 100};
}

/// Lanes from the middle outwards: the fastest of a heat swims in lane index 3.
constexpr int kLaneOrder[] = {3, 4, 2, 5, 1, 6, 0, 7};

class SampleWriter {
public:
    explicit SampleWriter(MeetBuilder& builder) : builder_(builder) {}

    SampleMeetSummary write();

private:
    QList<Swimmer> makePool(Sex sex, int ageLow, int ageHigh, int count);
    SwimmerRecord personRecord(const Swimmer& swimmer) const;
    /// 0 to 1, deterministic.
    double nextRandom();
    qint64 swimTime(Stroke stroke, int metres, int age, Sex sex);

    /// Heats of one event, slowest heat first; returns the race numbers.
    QList<int> addEvent(qint16 eventCode, Sex sex, int classLow, int classHigh,
                        const QString& roundCode, int heats, QList<Entry> entries);
    QList<int> addIndividual(qint16 eventCode, Sex sex, int classLow, int classHigh, int heats,
                             const QList<Swimmer>& swimmers, const QString& roundCode = u"2"_qs);
    QList<int> addRelay(qint16 eventCode, Sex sex, int classLow, int classHigh,
                        const QList<Swimmer>& pool, qint16 teamAge);

    /// Takes `count` swimmers of a pool starting at `offset`, wrapping round.
    static QList<Swimmer> take(const QList<Swimmer>& pool, int offset, int count);
    RaceRecord& race(int raceNo) { return races_[raceNo]; }

    void writeLayout();

    MeetBuilder& builder_;
    QMap<int, RaceRecord> races_;
    QMap<int, LegSwimmers> relays_;
    quint32 seed_ = 20240721;
    qint32 nextSwimmer_ = 1;
    qint32 nextTeam_ = 501;
    int nextRace_ = 1;
    int events_ = 0;
    int relayTeams_ = 0;
};

double SampleWriter::nextRandom()
{
    seed_ = seed_ * 1664525u + 1013904223u;
    return double(seed_ >> 8) / double(1u << 24);
}

qint64 SampleWriter::swimTime(Stroke stroke, int metres, int age, Sex sex)
{
    double seconds = basePer100(stroke) * distanceFactor(metres) * ageFactor(age);
    if (sex == Sex::Girls)
        seconds *= 1.09;
    seconds *= 1.0 + 0.12 * nextRandom();
    return qint64(std::llround(seconds * 100.0));
}

QList<Swimmer> SampleWriter::makePool(Sex sex, int ageLow, int ageHigh, int count)
{
    QList<Swimmer> pool;
    for (int i = 0; i < count; ++i) {
        Swimmer swimmer;
        swimmer.entryNo = nextSwimmer_++;
        // Four of a kind per club, so that every club can field a relay team.
        swimmer.club = (i / 4) % kClubCount;
        swimmer.age = qint16(ageLow + i % (ageHigh - ageLow + 1));
        swimmer.sex = sex == Sex::Mixed ? (i % 2 ? Sex::Girls : Sex::Boys) : sex;
        builder_.writeSwimmer(swimmer.entryNo, personRecord(swimmer));
        pool.append(swimmer);
    }
    return pool;
}

SwimmerRecord SampleWriter::personRecord(const Swimmer& swimmer) const
{
    const int n = swimmer.entryNo;
    const char16_t* given =
        swimmer.sex == Sex::Girls ? kGirls[(n * 3 + n / 14) % 10] : kBoys[(n * 7 + n / 14) % 10];
    const QString name =
        QString::fromUtf16(kFamilies[n % 14]) + u"　"_qs + QString::fromUtf16(given);
    const Club& club = kClubs[swimmer.club];
    const QString regNo = QString::fromUtf16(club.number) + u"%1"_qs.arg(n, 9, 10, QChar(u'0'));
    return MeetBuilder::swimmer(regNo, name, QString::fromUtf16(club.prefecture),
                                QString::fromUtf16(club.name), gradeCode(swimmer.age), swimmer.age,
                                sexCode(swimmer.sex));
}

QList<Swimmer> SampleWriter::take(const QList<Swimmer>& pool, int offset, int count)
{
    QList<Swimmer> taken;
    for (int i = 0; i < count && i < pool.size(); ++i)
        taken.append(pool[(offset + i) % pool.size()]);
    return taken;
}

QList<int> SampleWriter::addEvent(qint16 eventCode, Sex sex, int classLow, int classHigh,
                                  const QString& roundCode, int heats, QList<Entry> entries)
{
    ++events_;
    // Seeded heats: the slowest swim first, the fastest in the last heat.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.hundredths > b.hundredths; });
    QList<int> raceNumbers;
    const int perHeat = int((entries.size() + heats - 1) / heats);
    for (int h = 0; h < heats; ++h) {
        const int raceNo = nextRace_++;
        RaceRecord record;
        record.heatNo = qint16(h + 1);
        record.heatCount = qint16(heats);
        record.raceSex = raceSex(sex);
        record.classLow = qint16(classLow);
        record.classHigh = qint16(classHigh);
        record.eventCode = eventCode;
        record.roundCode = roundCode;
        const int first = h * perHeat;
        const int last = std::min(int(entries.size()), first + perHeat);
        // Within the heat the fastest take the middle lanes.
        for (int i = last - 1, place = 0; i >= first && place < 8; --i, ++place) {
            const int lane = kLaneOrder[place];
            record.laneEntryNo[lane] = qint16(entries[i].entryNo);
            record.laneResult[lane] = resultOf(entries[i].hundredths);
            if (entries[i].legs[0] != 0) {
                for (int leg = 0; leg < kLegCount; ++leg)
                    relays_[raceNo][leg][lane] = entries[i].legs[leg];
            }
        }
        if (relays_.contains(raceNo))
            record.relayIndex = qint16(raceNo);
        races_[raceNo] = record;
        raceNumbers.append(raceNo);
    }
    return raceNumbers;
}

QList<int> SampleWriter::addIndividual(qint16 eventCode, Sex sex, int classLow, int classHigh,
                                       int heats, const QList<Swimmer>& swimmers,
                                       const QString& roundCode)
{
    const auto [stroke, metres] = shapeOf(eventCode);
    QList<Entry> entries;
    for (const Swimmer& swimmer : swimmers)
        entries.append({swimmer.entryNo, swimTime(stroke, metres, swimmer.age, swimmer.sex), {}});
    return addEvent(eventCode, sex, classLow, classHigh, roundCode, heats, entries);
}

QList<int> SampleWriter::addRelay(qint16 eventCode, Sex sex, int classLow, int classHigh,
                                  const QList<Swimmer>& pool, qint16 teamAge)
{
    const auto [stroke, metres] = shapeOf(eventCode);
    QList<Entry> entries;
    for (int club = 0; club < kClubCount; ++club) {
        QList<Swimmer> members;
        for (const Swimmer& swimmer : pool) {
            if (swimmer.club == club)
                members.append(swimmer);
        }
        if (members.size() < 4)
            continue;
        Swimmer team;
        team.entryNo = nextTeam_++;
        team.club = club;
        team.age = teamAge;
        team.sex = sex == Sex::Girls ? Sex::Girls : Sex::Boys;
        SwimmerRecord record = personRecord(team);
        record.swimmerName = QString::fromUtf16(kClubs[club].name) + u"Ａ"_qs;
        builder_.writeSwimmer(team.entryNo, record);
        ++relayTeams_;
        Entry entry{team.entryNo, 0, {}};
        for (int leg = 0; leg < kLegCount; ++leg) {
            entry.legs[leg] = qint16(members[leg].entryNo);
            entry.hundredths +=
                swimTime(stroke, metres / kLegCount, members[leg].age, members[leg].sex);
        }
        entries.append(entry);
    }
    const int heats = entries.size() > 8 ? 2 : 1;
    return addEvent(eventCode, sex, classLow, classHigh, u"2"_qs, heats, entries);
}

/// The fastest entry of a heat swims in lane index 3, the second in lane index 4.
constexpr int kFastestLane = 3;
constexpr int kSecondLane = 4;

SampleMeetSummary SampleWriter::write()
{
    builder_.writeLocationFile();
    MeetSettings meet;
    meet.meetName = u"第12回みなと川ジュニア水泳競技大会"_qs;
    meet.meetDate = 20240721;
    meet.venue = u"みなと川市民プール"_qs;
    meet.meetKind = u"4"_qs;  // certificates within age groups
    meet.groupMode = u"1"_qs; // classes and groups by age
    meet.laneCount = 8;
    builder_.writeMeetHeader(meet);
    builder_.writeMasterHeader(newMasterHeader(u"master.dat"_qs, QDate(2024, 7, 1)));
    CustomEventTable custom;
    custom.customDivision[0] = u"８才以下"_qs;
    custom.customEventName[0] = u"ちびっこリレー"_qs;
    builder_.writeCustomEvents(custom);

    const QList<Swimmer> boys9 = makePool(Sex::Boys, 9, 10, 16);
    const QList<Swimmer> girls9 = makePool(Sex::Girls, 9, 10, 16);
    const QList<Swimmer> boys11 = makePool(Sex::Boys, 11, 12, 20);
    const QList<Swimmer> girls11 = makePool(Sex::Girls, 11, 12, 24);
    const QList<Swimmer> boys13 = makePool(Sex::Boys, 13, 14, 20);
    const QList<Swimmer> girls13 = makePool(Sex::Girls, 13, 14, 20);
    const QList<Swimmer> boys15 = makePool(Sex::Boys, 15, 16, 24);
    const QList<Swimmer> girls15 = makePool(Sex::Girls, 15, 18, 16);
    const QList<Swimmer> boys17 = makePool(Sex::Boys, 17, 18, 12);
    const QList<Swimmer> kids = makePool(Sex::Mixed, 7, 8, 16);
    const int swimmers = nextSwimmer_ - 1;

    // Free style.
    addIndividual(1, Sex::Boys, 9, 10, 3, take(boys9, 0, 16));
    addIndividual(1, Sex::Girls, 9, 10, 3, take(girls9, 0, 16));
    addIndividual(2, Sex::Boys, 11, 12, 3, take(boys11, 0, 20));
    const QList<int> tie = addIndividual(2, Sex::Girls, 11, 12, 3, take(girls11, 0, 22));
    addIndividual(3, Sex::Boys, 13, 14, 3, take(boys13, 0, 18));
    addIndividual(3, Sex::Girls, 13, 14, 3, take(girls13, 0, 18));
    const QList<Swimmer> sprinters = take(boys15, 0, 22);
    addIndividual(2, Sex::Boys, 15, 16, 3, sprinters, u"1"_qs);
    const QList<int> sprintFinal = addIndividual(2, Sex::Boys, 15, 16, 1, take(sprinters, 14, 8));
    const QList<int> withdrawal = addIndividual(4, Sex::Girls, 15, 18, 3, take(girls15, 0, 16));
    addIndividual(5, Sex::Boys, 17, 18, 1, take(boys17, 0, 8));
    addIndividual(6, Sex::Girls, 15, 18, 1, take(girls15, 3, 7));
    const QList<int> distance = addIndividual(7, Sex::Boys, 17, 18, 1, take(boys17, 4, 6));
    // Back stroke.
    const QList<int> participation = addIndividual(8, Sex::Boys, 9, 10, 1, take(boys9, 5, 3));
    addIndividual(9, Sex::Girls, 11, 12, 2, take(girls11, 6, 14));
    addIndividual(10, Sex::Boys, 13, 14, 2, take(boys13, 4, 12));
    addIndividual(11, Sex::Girls, 15, 18, 1, take(girls15, 8, 8));
    // Breast stroke.
    addIndividual(12, Sex::Girls, 9, 10, 1, take(girls9, 4, 8));
    const QList<int> foul = addIndividual(13, Sex::Boys, 11, 12, 2, take(boys11, 8, 14));
    addIndividual(14, Sex::Girls, 13, 14, 2, take(girls13, 8, 13));
    addIndividual(15, Sex::Boys, 15, 16, 1, take(boys15, 10, 8));
    // Butterfly.
    addIndividual(16, Sex::Boys, 9, 10, 1, take(boys9, 8, 8));
    addIndividual(17, Sex::Girls, 11, 12, 2, take(girls11, 12, 12));
    addIndividual(18, Sex::Boys, 13, 14, 1, take(boys13, 10, 8));
    const QList<int> prefectureRecord =
        addIndividual(19, Sex::Girls, 15, 18, 1, take(girls15, 5, 6));
    // Individual medley; the girls' 400 m spans age groups 3 to 5.
    addIndividual(20, Sex::Boys, 11, 12, 1, take(boys11, 2, 8));
    addIndividual(21, Sex::Girls, 13, 14, 3, take(girls13, 2, 18));
    QList<Swimmer> medley = take(girls11, 0, 4) + take(girls13, 0, 4);
    for (const Swimmer& girl : girls15) {
        if (girl.age >= 16 && medley.size() < 14)
            medley.append(girl);
    }
    addIndividual(22, Sex::Girls, 11, 18, 2, medley);
    addIndividual(22, Sex::Boys, 17, 18, 1, take(boys17, 2, 7));
    // Relays, every leg listed; the custom event is a mixed relay of the youngest.
    const QList<int> medleyRelay = addRelay(24, Sex::Boys, 13, 14, boys13, 14);
    addRelay(24, Sex::Girls, 11, 12, girls11, 12);
    addRelay(25, Sex::Boys, 15, 16, boys15, 16);
    addRelay(26, Sex::Girls, 9, 10, girls9, 10);
    addRelay(27, Sex::Girls, 13, 14, girls13, 14);
    addRelay(27, Sex::Boys, 11, 12, boys11, 12);
    addRelay(28, Sex::Girls, 15, 18, girls15, 16);
    addRelay(29, Sex::Boys, 17, 18, boys17, 18);
    addRelay(30, Sex::Mixed, 0, 8, kids, 8);

    // The results a meet always has somewhere.
    // Two girls in different heats touch in the same time, second overall.
    race(tie[1]).laneResult[kFastestLane] = race(tie[2]).laneResult[kSecondLane];
    race(foul[1]).laneResult[kFastestLane] = 700002;         // 泳法: disqualified
    race(participation[0]).laneResult[kSecondLane] = 666666; // took part without a time
    race(withdrawal[2]).laneResult[kLaneOrder[5]] = 888888;  // 棄権
    race(distance[0]).laneRecordCode[kFastestLane] = 31;     // 大会新
    race(sprintFinal[0]).laneRecordCode[kFastestLane] = 31;
    race(prefectureRecord[0]).laneRecordCode[kFastestLane] = 21; // 県新
    race(medleyRelay[0]).laneRecordCode[kFastestLane] = 31;

    QList<int> ready;
    for (auto it = races_.cbegin(); it != races_.cend(); ++it) {
        builder_.writeRace(it.key(), it.value());
        ready.append(it.key());
    }
    for (auto it = relays_.cbegin(); it != relays_.cend(); ++it)
        builder_.writeRelay(it.key(), it.value());
    builder_.writeRaceStatus(ready, '8');
    writeLayout();
    return {int(races_.size()), events_, swimmers, relayTeams_};
}

struct ItemPlace {
    int item;
    int x;
    int y;
    int size;
};

/// A certificate as a club would lay it out: title, event and result, name, the words of
/// praise, date, meet and signature.
void SampleWriter::writeLayout()
{
    Layout layout = defaultLayout();
    // Free text 0 is the title, 1 and 2 the words of praise, 3 and 4 the signature.
    constexpr ItemPlace kPlaces[] = {
        {freeTextItem(0), 3700, 1000, 60},  {kItemClass, 1200, 3000, 24},
        {kItemEvent, 4200, 3000, 24},       {kItemRank, 1200, 4000, 32},
        {kItemResult, 4200, 4000, 28},      {kItemRemark, 8600, 4000, 24},
        {kItemAffiliation, 1200, 5600, 22}, {kItemGrade, 5200, 5600, 22},
        {kItemName, 3200, 6600, 40},        {freeTextItem(1), 1200, 8600, 24},
        {freeTextItem(2), 1200, 9400, 24},  {kItemDate, 1200, 11200, 20},
        {kItemMeetName, 1200, 12200, 22},   {kItemVenue, 1200, 12900, 20},
        {freeTextItem(3), 5400, 14200, 24}, {freeTextItem(4), 5400, 14900, 24},
    };
    for (ItemLayout& item : layout.items)
        item.switchState = kSwitchOff;
    for (const ItemPlace& place : kPlaces) {
        ItemLayout& item = layout.items[place.item];
        item.switchState = kSwitchOn;
        item.x = QString::number(place.x);
        item.y = QString::number(place.y);
        item.size = QString::number(place.size);
    }
    layout.freeTexts = {u"賞　　状"_qs, u"あなたは本大会において頭書の成績を"_qs,
                        u"収められましたのでこれを賞します"_qs, u"みなと川水泳協会"_qs,
                        u"会長　渚原　大海"_qs};
    const DataLocations where = builder_.locations();
    replaceWholeFile(where.dataFile(QString::fromUtf16(kLayoutFileName)), encodeLayout(layout),
                     u"writing the sample layout"_qs);
}

} // namespace

SampleMeetSummary writeSampleMeet(MeetBuilder& builder)
{
    return SampleWriter(builder).write();
}

} // namespace tarvel::sample
