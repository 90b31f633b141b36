#include "meetdb/datalocations.h"

#include "platform/failure.h"
#include "platform/listinput.h"
#include "platform/paths.h"
#include "platform/recordfile.h"

#include <QFileInfo>

namespace tarvel {

namespace {

const QString kAction = u"reading the location file"_qs;

/// A folder as the other system names it: always ending in "\" so that file names can be
/// run on directly; an empty item is the root of the current drive.
QString asFolder(QString item)
{
    if (!item.endsWith(u'\\'))
        item += u'\\';
    return item;
}

} // namespace

DataLocations loadDataLocations(const QString& locationFile)
{
    if (!QFileInfo::exists(hostPath(locationFile)))
        throw Failure(kAction, locationFile, u"file not found"_qs);

    ListInput input(readWholeFile(locationFile, kAction));
    const auto nextItem = [&]() {
        std::optional<QString> item = input.next();
        if (!item)
            throw Failure(kAction, locationFile, u"input past end of file"_qs);
        return *item;
    };

    DataLocations where;
    nextItem();
    where.dataDir = asFolder(nextItem());
    nextItem();
    where.masterDir = asFolder(nextItem());
    where.masterFileName = nextItem();
    return where;
}

} // namespace tarvel
