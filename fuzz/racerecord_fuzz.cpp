// Race records of taikai.dat from any bytes (short records read as zero bytes).

#include "fuzzsupport.h"
#include "naming/racerecord.h"

using namespace tarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::checkRecordRoundTrip<RaceRecord>(fuzz::inputBytes(data, size), kRaceRecordLength,
                                           decodeRace, encodeRace);
    return 0;
}
