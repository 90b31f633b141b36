// The location file dr_kyo.ctl from any bytes, and the paths it names mapped onto this
// machine (read only: folders are listed, nothing is opened for writing).

#include "fuzzsupport.h"
#include "platform/failure.h"
#include "platform/paths.h"

using namespace tarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeScratchFile(u"dr_kyo.ctl"_qs, fuzz::inputBytes(data, size));
    try {
        const DataLocations where = loadDataLocations(path);
        fuzz::check(where.dataDir.endsWith(u'\\') && where.masterDir.endsWith(u'\\'),
                    "the folders end in a backslash");
        hostPath(where.dataFile(u"Race.dat"_qs));
        hostPath(where.masterFile());
    } catch (const Failure&) {
        // Too few items: the program says so and stops.
    }
    return 0;
}
