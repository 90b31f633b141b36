// The swimmer master file's records from any bytes: the header (record 1), the custom
// event table (record 2) and an entry, each read from the same bytes.

#include "fuzzsupport.h"
#include "meetdb/classlabel.h"
#include "meetdb/masterfile.h"

using namespace tarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = fuzz::inputBytes(data, size);
    fuzz::checkRecordRoundTrip<MasterHeader>(bytes, kMasterRecordLength, decodeMasterHeader,
                                             encodeMasterHeader);
    fuzz::checkRecordRoundTrip<CustomEventTable>(bytes, kMasterRecordLength, decodeCustomEventTable,
                                                 encodeCustomEventTable);
    fuzz::checkRecordRoundTrip<SwimmerRecord>(bytes, kMasterRecordLength, decodeSwimmer,
                                              encodeSwimmer);

    // What the certificate texts make of an entry's fields.
    const SwimmerRecord swimmer = decodeSwimmer(bytes);
    const QString fitted = cleanText(swimmer.swimmerName, 1);
    fuzz::check(fitted.size() == 5 || (fitted.size() > 5 && !fitted.contains(u' ')),
                "a name is fitted to five characters unless it has no blank left to give");
    fuzz::check(!cleanText(swimmer.affiliation, 2).contains(u' '), "mode 2 removes blanks");
    classLabel(swimmer.gradeCode, decodeMasterHeader(bytes).classScheme);
    return 0;
}
