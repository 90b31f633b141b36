#pragma once
/// The relay records of relay.dat: the leg swimmers of each lane of one relay race.

#include "naming/racerecord.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>

namespace tarvel {

inline constexpr int kRelayRecordLength = 256;
inline constexpr int kLegCount = 4;

/// For leg a (0 to 3) and lane index k, [a][k] is the leg swimmer's entry number in the
/// master file; 0 for none.
using LegSwimmers = std::array<std::array<qint16, kLanesPerRace>, kLegCount>;

/// Record relayIndex + 10 of relay.dat (numberedRecord).
struct RelayRecord {
    LegSwimmers legSwimmerNo{};
    bool operator==(const RelayRecord&) const = default;
};

/// Decodes a relay record from its 256 bytes (short input reads as zero bytes).
RelayRecord decodeRelay(QByteArrayView bytes);
/// Encodes a relay record into 256 bytes; the bytes it does not use are zero.
QByteArray encodeRelay(const RelayRecord& relay);

} // namespace tarvel
