#include "meetdb/meetfiles.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/words.h"

#include <QFileInfo>

namespace tarvel {

namespace {

QString namedBy(const DataLocations& where, MeetFile file)
{
    return file == MeetFile::Master ? where.masterNamedBy : where.dataDirNamedBy;
}

[[noreturn]] void failMissing(const DataLocations& where, MeetFile file, const QString& action)
{
    const QString path = meetFilePath(where, file);
    const QString place = namedBy(where, file);
    QString reason = Words::tr("file not found");
    if (!place.isEmpty())
        reason = Words::tr("file not found (its place is named in %1)").arg(place);
    throw Failure(action, path, reason, Failure::Kind::Missing);
}

} // namespace

QString meetFilePath(const DataLocations& where, MeetFile file)
{
    switch (file) {
    case MeetFile::Races: return where.dataFile(u"taikai.dat"_qs);
    case MeetFile::Relays: return where.dataFile(u"relay.dat"_qs);
    case MeetFile::Master: return where.masterFile();
    }
    return {};
}

RecordFile openMeetFile(const DataLocations& where, MeetFile file, int recordLength)
{
    try {
        return RecordFile::openExisting(meetFilePath(where, file), recordLength,
                                        RecordFile::Access::ReadOnly);
    } catch (const Failure& failure) {
        if (failure.kind() == Failure::Kind::Missing)
            failMissing(where, file, failure.action());
        throw;
    }
}

void requireMeetFile(const DataLocations& where, MeetFile file)
{
    if (!QFileInfo(hostPath(meetFilePath(where, file))).isFile())
        failMissing(where, file, Words::tr("opening"));
}

void failRecordPastEnd(const RecordFile& file, qint64 recordNo, const QString& action)
{
    const qint64 offset = (recordNo - 1) * file.recordLength();
    throw Failure(action, file.path(), {recordNo, offset},
                  Words::tr("past the end of the file (%1 bytes)").arg(file.size()),
                  Failure::Kind::Damaged);
}

} // namespace tarvel
