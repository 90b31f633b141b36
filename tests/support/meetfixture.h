#pragma once
/// Small builders for the print-run tests: race records, swimmers and a session over a
/// temporary meet.

#include "layout/certificateitems.h"
#include "printrun/printoptions.h"
#include "printrun/session.h"
#include "tempmeet.h"

#include <QList>

namespace tarvel::testing {

struct Lane {
    qint16 entryNo = 0;
    qint32 result = 0;
    qint16 recordCode = 0;
};

/// A heat of an event: lanes from index 0; men's final, open class, unless changed after.
inline RaceRecord heat(int heatNo, int heatCount, qint16 eventCode, const QList<Lane>& lanes)
{
    RaceRecord race;
    race.heatNo = qint16(heatNo);
    race.heatCount = qint16(heatCount);
    race.eventCode = eventCode;
    race.raceSex = u"1"_qs;
    race.roundCode = u"2"_qs;
    race.classLow = 0;
    race.classHigh = 100;
    for (int lane = 0; lane < lanes.size() && lane < kLanesPerRace; ++lane) {
        race.laneEntryNo[lane] = lanes[lane].entryNo;
        race.laneResult[lane] = lanes[lane].result;
        race.laneRecordCode[lane] = lanes[lane].recordCode;
    }
    return race;
}

inline MeetSettings meetWith(qint16 laneCount, const QString& meetKind = QString(),
                             const QString& groupMode = QString())
{
    MeetSettings meet;
    meet.meetName = u"テスト大会"_qs;
    meet.meetDate = 20030224;
    meet.venue = u"テストプール"_qs;
    meet.meetKind = meetKind;
    meet.groupMode = groupMode;
    meet.laneCount = laneCount;
    return meet;
}

/// The session a started program would hold for `meet`, without reading any file.
inline Session sessionFor(const TempMeet& meet, const MeetSettings& settings)
{
    Session session;
    session.where = meet.locations();
    session.meet = settings;
    session.layout = defaultLayout();
    session.itemText = startupItemTexts(session.layout);
    return session;
}

/// A swimmer numbered `regNo`, named after it; the rest as given.
inline SwimmerRecord swimmer(const QString& regNo, const QString& name, qint16 age = 15,
                             const QString& sexCode = u"1"_qs, const QString& gradeCode = u"31"_qs)
{
    return sample::MeetBuilder::swimmer(regNo, name, u"東京都"_qs, u"テストＳＣ"_qs, gradeCode, age,
                                        sexCode);
}

/// Every options at 全部, rank limits 99: everything with a certificate is printed.
inline PrintOptions everything()
{
    PrintOptions options;
    options.round = 0;
    options.rankLimitIndividual = u"99"_qs;
    options.rankLimitRelay = u"99"_qs;
    return options;
}

} // namespace tarvel::testing
