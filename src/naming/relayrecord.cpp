#include "naming/relayrecord.h"

#include "platform/binaryrecord.h"

namespace tarvel {

namespace {

/// The record is laid out leg-major, from byte 2: leg a of lane k is the (12a + k)th number.
constexpr int legSwimmerOffset(int leg, int lane)
{
    return 2 + 2 * (kLanesPerRace * leg + lane);
}
static_assert(legSwimmerOffset(kLegCount, 0) <= kRelayRecordLength);

} // namespace

RelayRecord decodeRelay(QByteArrayView bytes)
{
    const RecordReader reader(bytes);
    RelayRecord relay;
    for (int leg = 0; leg < kLegCount; ++leg)
        for (int lane = 0; lane < kLanesPerRace; ++lane)
            relay.legSwimmerNo[leg][lane] = reader.int16At(legSwimmerOffset(leg, lane));
    return relay;
}

QByteArray encodeRelay(const RelayRecord& relay)
{
    RecordWriter writer(kRelayRecordLength);
    for (int leg = 0; leg < kLegCount; ++leg)
        for (int lane = 0; lane < kLanesPerRace; ++lane)
            writer.putInt16(legSwimmerOffset(leg, lane), relay.legSwimmerNo[leg][lane]);
    return writer.bytes();
}

} // namespace tarvel
