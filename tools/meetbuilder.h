#pragma once
/// Writes a meet-management system's files byte-exactly from readable descriptions: for
/// the tests, the demo's sample meet and the benchmarks.

#include "meetdb/masterfile.h"
#include "naming/meetsettings.h"
#include "naming/racerecord.h"
#include "naming/relayrecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

namespace tarvel::sample {

/// A meet laid out as the two programs expect it on disk:
///   root/work/            the working directory to start the program in
///   root/ctl/dr_kyo.ctl   the location file ("..\ctl\dr_kyo.ctl" from work/)
///   root/data/            the data folder (dataDir): kijun.dat, taikai.dat, Race.dat, ...
///   root/data/master.dat  the swimmer master file
/// The location file names the folders by their absolute POSIX paths with "/" turned into
/// "\", the way a Windows program would write them; hostPath maps them back.
class MeetBuilder {
public:
    explicit MeetBuilder(QString root);

    const QString& root() const { return root_; }
    QString workDir() const;
    QString dataDirPath() const;     // POSIX path of root/data
    DataLocations locations() const; // as loadDataLocations would set them

    /// The location file with the five items (item 1 and 3 are filler).
    void writeLocationFile();
    /// Writes the location file from raw bytes (for damaged-file tests).
    void writeLocationFileBytes(const QByteArray& bytes);

    /// kijun.dat with all 73 items: master location, meet name, date, venue, kind, group
    /// mode and lanes as given, the rest filler numbers and texts.
    void writeMeetHeader(const MeetSettings& meet);
    /// kijun.dat from its items, each written as the meet-management system writes it.
    void writeMeetHeaderItems(const QStringList& items);

    /// Race n as record n + 10 of taikai.dat (the file grows as needed).
    void writeRace(int raceNo, const RaceRecord& race);
    /// Race.dat from raw status bytes.
    void writeRaceStatus(const QByteArray& statuses);
    /// Race.dat with every race in `races` at `status`, the rest blank.
    void writeRaceStatus(const QList<int>& races, char status);

    /// relay.dat record relayIndex + 10: legSwimmerNo[a][k] for leg a, lane index k.
    void writeRelay(int relayIndex, const LegSwimmers& legSwimmerNo);

    /// The master file's header (record 1), custom table (record 2) and entry n (record n + 10).
    void writeMasterHeader(const MasterHeader& header);
    void writeCustomEvents(const CustomEventTable& table);
    void writeSwimmer(qint32 entryNo, const SwimmerRecord& swimmer);

    /// A swimmer record with the fields the certificates use; everything else blank.
    static SwimmerRecord swimmer(const QString& regNo, const QString& name,
                                 const QString& prefecture, const QString& affiliation,
                                 const QString& gradeCode, qint16 age, const QString& sexCode);

private:
    void writeRecordAt(const QString& file, int recordLength, qint64 recordNo,
                       const QByteArray& bytes);

    QString root_;
};

} // namespace tarvel::sample
