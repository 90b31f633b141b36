#pragma once
/// The race records of taikai.dat: one heat's event, class, round and lanes.

#include "meetdb/datalocations.h"

#include <QString>

#include <array>

namespace tarvel {

inline constexpr int kLanesPerRace = 12;
inline constexpr int kRaceRecordLength = 256;

/// Race n is record n + 10. The heats of one event are consecutive races: the first heat
/// of race n is n - heatNo + 1, the last n - heatNo + heatCount.
struct RaceRecord {
    qint16 heatNo = 0;
    qint16 heatCount = 0;
    QString raceSex; // "1" men, "2" women
    qint16 classLow = 0;
    qint16 classHigh = 0; // 100: no upper bound
    qint16 eventCode = 0;
    QString roundCode; // "1" heats, "2" final, "3" consolation, "4" semi-final
    qint16 relayIndex = 0;
    std::array<qint16, kLanesPerRace> laneEntryNo{};
    std::array<qint32, kLanesPerRace> laneResult{};
    std::array<qint16, kLanesPerRace> laneRecordCode{};

    bool isLastHeat() const { return heatNo == heatCount; }
    bool operator==(const RaceRecord&) const = default;
};

/// Decodes a race record from its 256 bytes (short input reads as zero bytes).
RaceRecord decodeRace(QByteArrayView bytes);
/// Encodes a race record into 256 bytes; the fields this program does not use are zero.
QByteArray encodeRace(const RaceRecord& race);

/// The races taikai.dat holds: its whole records past the ten before race 1, at most
/// kRaceCount; 0 when the file is missing or shorter.
int raceCount(const DataLocations& where);

/// Reads race n (record n + 10) of dataDir + "taikai.dat", opened afresh. A missing file
/// (never created) or a record not wholly in the file (Kind::Damaged) throws
/// tarvel::Failure naming the race and the file.
RaceRecord loadRace(const DataLocations& where, int raceNo);

} // namespace tarvel
