#include "meetdb/datalocations.h"

#include "platform/failure.h"
#include "platform/listinput.h"
#include "platform/paths.h"
#include "platform/recordfile.h"
#include "platform/words.h"

#include <QFileInfo>

namespace tarvel {

namespace {

QString readAction()
{
    return Words::tr("reading the location file");
}

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
        throw Failure(readAction(), locationFile, Words::tr("file not found"),
                      Failure::Kind::Missing);

    ListInput input(readWholeFile(locationFile, readAction()));
    const auto nextItem = [&]() {
        std::optional<QString> item = input.next();
        if (!item)
            throw Failure(readAction(), locationFile, Words::tr("input past end of file"));
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
    QString reason = Words::tr("the data folder %1 (named in %2) does not exist")
                         .arg(where.dataDir, where.dataDirNamedBy);
    if (const std::optional<QString> link = missingDriveLink(where.dataDir))
        reason += Words::tr("; it is a Windows path, and this machine has no Wine drive link %1 "
                            "(WINEPREFIX selects the Wine drive links)")
                      .arg(*link);
    throw Failure(Words::tr("opening the meet"), where.dataDir, reason, Failure::Kind::Missing);
}

} // namespace tarvel
