#include "naming/meetsettings.h"

#include "platform/failure.h"
#include "platform/listinput.h"
#include "platform/numbers.h"
#include "platform/recordfile.h"
#include "platform/words.h"

namespace tarvel {

namespace {

QString readAction()
{
    return Words::tr("reading the meet header");
}

/// Items 71 to 73 may be absent; up to item 70 every item must be there.
constexpr int kLastRequiredItem = 70;

/// Reads the header, storing each used item as soon as it is read, so that items 1 and 2
/// have replaced the master location when a later item fails. Throws tarvel::Failure.
MeetSettings readMeetSettings(DataLocations& where)
{
    const QString path = where.dataFile(u"kijun.dat"_qs);
    ListInput input(readWholeFile(path, readAction()));
    const auto nextItem = [&](int itemNo) {
        std::optional<QString> item = input.next();
        if (!item)
            throw Failure(
                readAction(), path,
                Words::tr("the file ends before item %1 of %2").arg(itemNo).arg(kLastRequiredItem));
        return *item;
    };

    MeetSettings meet = resetMeetSettings();
    where.masterDir = nextItem(1);
    where.masterFileName = nextItem(2);
    where.masterNamedBy = path;
    nextItem(3);
    meet.meetName = nextItem(4);
    nextItem(5);
    meet.meetDate = toInt32(numericValue(nextItem(6)));
    toInt32(numericValue(nextItem(7)));
    meet.venue = nextItem(8);
    nextItem(9);
    nextItem(10);
    meet.meetKind = nextItem(11);
    meet.groupMode = nextItem(12);
    nextItem(13);
    meet.laneCount = toInt16(numericValue(nextItem(14)));
    // The numbers this program does not use still have to fit their width: one that does
    // not fails the whole header, as it does in the meet-management system.
    for (int itemNo = 15; itemNo <= kLastRequiredItem; ++itemNo)
        toInt16(numericValue(nextItem(itemNo)));
    // Items 71 to 73 are texts nobody uses; whether they are there does not matter.
    return meet;
}

} // namespace

MeetSettings resetMeetSettings()
{
    return MeetSettings{};
}

MeetSettings loadMeetSettings(DataLocations& where)
{
    try {
        return readMeetSettings(where);
    } catch (const Failure&) {
        // A missing or damaged header is not an error to the operator: the meet simply has
        // no name, date or venue, and four lanes.
        return resetMeetSettings();
    }
}

} // namespace tarvel
