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
    where.dataDirNamedBy = locationFile;
    where.masterNamedBy = locationFile;
    nextItem();
    where.dataDir = asFolder(nextItem());
    nextItem();
    where.masterDir = asFolder(nextItem());
    where.masterFileName = nextItem();
    return where;
}

void requireDataFolder(const DataLocations& where)
{
    if (QFileInfo(hostPath(where.dataDir)).isDir())
        return;
    QString reason = u"the data folder %1 (named in %2) does not exist"_qs.arg(
        where.dataDir, where.dataDirNamedBy);
    if (const std::optional<QString> link = missingDriveLink(where.dataDir))
        reason += u"; it is a Windows path, and this machine has no Wine drive link %1 "
                  u"(WINEPREFIX selects the Wine drive links)"_qs.arg(*link);
    throw Failure(u"opening the meet"_qs, where.dataDir, reason, Failure::Kind::Missing);
}

} // namespace tarvel
