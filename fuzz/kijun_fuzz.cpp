// The meet header kijun.dat from any bytes: a damaged header gives the defaults, silently,
// and one that ends before item 70 is damaged.

#include "fuzzsupport.h"
#include "naming/meetsettings.h"
#include "platform/listinput.h"

using namespace tarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = fuzz::inputBytes(data, size);
    fuzz::writeScratchFile(u"kijun.dat"_qs, bytes);
    DataLocations where = fuzz::scratchLocations();
    const MeetSettings meet = loadMeetSettings(where);

    ListInput items(bytes.toByteArray());
    int count = 0;
    while (count < 70 && items.next())
        ++count;
    if (count < 70)
        fuzz::check(meet == resetMeetSettings(), "a header short of item 70 gives the defaults");
    return 0;
}
