#include "meetbuilder.h"

#include "meetdb/meetfiles.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/numbers.h"
#include "platform/recordfile.h"

#include <QDir>
#include <QFile>

namespace tarvel::sample {

namespace {

const QString kMasterFileName = u"master.dat"_qs;

/// A POSIX folder as a Windows program would write it, ending in "\".
QString asSystemFolder(const QString& posixFolder)
{
    QString folder = QDir::toNativeSeparators(posixFolder);
    folder.replace(u'/', u'\\');
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    return folder;
}

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

void writeBytes(const QString& posixPath, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(posixPath).absolutePath());
    QFile file(posixPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw Failure(u"writing a sample meet"_qs, posixPath, file.errorString());
}

} // namespace

MeetBuilder::MeetBuilder(QString root) : root_(std::move(root))
{
    QDir().mkpath(workDir());
    QDir().mkpath(dataDirPath());
    QDir().mkpath(root_ + u"/ctl"_qs);
}

QString MeetBuilder::workDir() const
{
    return root_ + u"/work"_qs;
}

QString MeetBuilder::dataDirPath() const
{
    return root_ + u"/data"_qs;
}

DataLocations MeetBuilder::locations() const
{
    const QString data = asSystemFolder(dataDirPath());
    const QString locationFile = u"..\\ctl\\dr_kyo.ctl"_qs;
    return DataLocations{data, data, kMasterFileName, locationFile, locationFile};
}

void MeetBuilder::writeLocationFile()
{
    const DataLocations where = locations();
    const QStringList items = {quoted(u"TARVEL"_qs), quoted(where.dataDir), quoted(u"0"_qs),
                               quoted(where.masterDir), quoted(where.masterFileName)};
    writeLocationFileBytes(cp932::encode(items.join(u"\r\n") + u"\r\n"_qs));
}

void MeetBuilder::writeLocationFileBytes(const QByteArray& bytes)
{
    writeBytes(root_ + u"/ctl/dr_kyo.ctl"_qs, bytes);
}

void MeetBuilder::writeMeetHeader(const MeetSettings& meet)
{
    const DataLocations where = locations();
    QStringList items;
    items << quoted(where.masterDir) << quoted(where.masterFileName) << quoted(u"0"_qs)
          << quoted(meet.meetName) << quoted(QString()) << QString::number(meet.meetDate) << u"0"_qs
          << quoted(meet.venue) << quoted(QString()) << quoted(QString()) << quoted(meet.meetKind)
          << quoted(meet.groupMode) << quoted(QString()) << QString::number(meet.laneCount)
          << u"0"_qs;
    for (int item = 16; item <= 70; ++item)
        items << u"0"_qs;
    items << quoted(QString()) << quoted(QString()) << quoted(QString());
    writeMeetHeaderItems(items);
}

void MeetBuilder::writeMeetHeaderItems(const QStringList& items)
{
    // The meet-management system writes a handful of items per line.
    QString text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        text += items.at(i);
        text += (i % 10 == 9 || i + 1 == items.size()) ? u"\r\n"_qs : u","_qs;
    }
    writeBytes(dataDirPath() + u"/kijun.dat"_qs, cp932::encode(text));
}

void MeetBuilder::writeRace(int raceNo, const RaceRecord& race)
{
    writeRecordAt(u"taikai.dat"_qs, kRaceRecordLength, numberedRecord(raceNo), encodeRace(race));
}

void MeetBuilder::writeRaceStatus(const QByteArray& statuses)
{
    writeBytes(dataDirPath() + u"/Race.dat"_qs, statuses);
}

void MeetBuilder::writeRaceStatus(const QList<int>& races, char status)
{
    QByteArray statuses(1024, ' ');
    for (int race : races)
        statuses[race - 1] = status;
    writeRaceStatus(statuses);
}

void MeetBuilder::writeRelay(int relayIndex, const LegSwimmers& legSwimmerNo)
{
    writeRecordAt(u"relay.dat"_qs, kRelayRecordLength, numberedRecord(relayIndex),
                  encodeRelay(RelayRecord{legSwimmerNo}));
}

void MeetBuilder::writeMasterHeader(const MasterHeader& header)
{
    writeRecordAt(kMasterFileName, kMasterRecordLength, 1, encodeMasterHeader(header));
}

void MeetBuilder::writeCustomEvents(const CustomEventTable& table)
{
    writeRecordAt(kMasterFileName, kMasterRecordLength, 2, encodeCustomEventTable(table));
}

void MeetBuilder::writeSwimmer(qint32 entryNo, const SwimmerRecord& swimmer)
{
    writeRecordAt(kMasterFileName, kMasterRecordLength, numberedRecord(entryNo),
                  encodeSwimmer(swimmer));
}

SwimmerRecord MeetBuilder::swimmer(const QString& regNo, const QString& name,
                                   const QString& prefecture, const QString& affiliation,
                                   const QString& gradeCode, qint16 age, const QString& sexCode)
{
    SwimmerRecord record = clearSwimmer();
    record.regNo = regNo;
    record.swimmerName = name;
    record.prefecture = prefecture;
    record.affiliation = affiliation;
    record.gradeCode = gradeCode;
    record.age = age;
    record.sexCode = sexCode;
    return record;
}

void MeetBuilder::writeRecordAt(const QString& file, int recordLength, qint64 recordNo,
                                const QByteArray& bytes)
{
    RecordFile records = RecordFile::openOrCreate(locations().dataFile(file), recordLength);
    records.writeRecord(recordNo, bytes);
}

} // namespace tarvel::sample
