#include "benchmeet.h"

#include "meetdb/racestatus.h"
#include "naming/events.h"
#include "platform/memoryreuse.h"
#include "platform/qt/fonts.h"

#include <QDate>

#include <algorithm>
#include <vector>

namespace tarvel::bench {

GeneratedMeet writeBenchMeet(sample::MeetBuilder& builder)
{
    builder.writeLocationFile();
    MeetSettings meet;
    meet.meetName = u"第1回ベンチマーク水泳大会"_qs;
    meet.meetDate = 20250601;
    meet.venue = u"計測市民プール"_qs;
    meet.groupMode = u"1"_qs;
    meet.laneCount = 8;
    builder.writeMeetHeader(meet);
    builder.writeMasterHeader(newMasterHeader(u"master.dat"_qs, QDate(2025, 5, 1)));
    CustomEventTable custom;
    custom.customDivision[0] = u"混合"_qs;
    custom.customEventName[0] = u"メドレー混合"_qs;
    builder.writeCustomEvents(custom);

    constexpr int kSwimmers = 3000;
    for (int n = 1; n <= kSwimmers; ++n) {
        builder.writeSwimmer(n, sample::MeetBuilder::swimmer(
                                    u"%1"_qs.arg(22000000000000LL + n),
                                    u"計測　選手%1"_qs.arg(n % 100), u"静岡県"_qs, u"計測ＳＣ"_qs,
                                    u"21"_qs, qint16(10 + n % 9), n % 2 ? u"1"_qs : u"2"_qs));
    }
    quint32 seed = 1;
    auto random = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % quint32(range));
    };

    std::vector<qint16> individualCodes;
    std::vector<qint16> relayCodes;
    for (const BuiltInEvent& event : events::kTable)
        (event.kind == EventKind::Relay ? relayCodes : individualCodes).push_back(event.code);
    GeneratedMeet generated;
    qint32 nextTeam = kSwimmers + 1;
    int raceNo = 1;
    for (int event = 0; raceNo <= kRaceCount; ++event) {
        const int heats = std::min(2 + event % 5, kRaceCount - raceNo + 1);
        const bool custom = event % 25 == 24;
        const bool relay = custom || event % 5 == 4;
        const qint16 eventCode = custom  ? kFirstCustomEvent
                                 : relay ? relayCodes[event % relayCodes.size()]
                                         : individualCodes[event % individualCodes.size()];
        ++generated.events;
        generated.relayEvents += relay ? 1 : 0;
        for (int heat = 1; heat <= heats; ++heat, ++raceNo) {
            RaceRecord race;
            race.heatNo = qint16(heat);
            race.heatCount = qint16(heats);
            race.raceSex = event % 2 ? u"1"_qs : u"2"_qs;
            race.classLow = 11;
            race.classHigh = 12;
            race.eventCode = eventCode;
            race.roundCode = u"2"_qs;
            LegSwimmers legs{};
            for (int lane = 0; lane < 8; ++lane) {
                race.laneEntryNo[lane] =
                    relay ? qint16(nextTeam++) : qint16(1 + (raceNo * 8 + lane) % kSwimmers);
                race.laneResult[lane] = 2800 + random(9000);
                race.laneRecordCode[lane] = random(50) == 0 ? 31 : 0;
                for (int leg = 0; relay && leg < 4; ++leg)
                    legs[leg][lane] = qint16(1 + random(kSwimmers));
            }
            if (relay) {
                race.relayIndex = qint16(raceNo);
                builder.writeRelay(raceNo, legs);
                for (int lane = 0; lane < 8; ++lane) {
                    builder.writeSwimmer(race.laneEntryNo[lane],
                                         sample::MeetBuilder::swimmer(u"22999"_qs, u"チーム"_qs,
                                                                      u"愛知県"_qs, u"計測ＳＣ"_qs,
                                                                      u"21"_qs, 12, u"1"_qs));
                }
            }
            builder.writeRace(raceNo, race);
            generated.races.append(raceNo);
        }
    }
    return generated;
}

std::unique_ptr<QGuiApplication> startDrawingBench(int& argc, char** argv)
{
    keepFreedMemoryForReuse(); // as the programs do
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    registerFontSubstitutions();
    return app;
}

std::optional<QString> optionValue(const QStringList& arguments, const QString& option)
{
    std::optional<QString> value;
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == option)
            value = arguments[i + 1];
    }
    return value;
}

} // namespace tarvel::bench
