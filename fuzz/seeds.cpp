// tarvel-fuzz-seeds DIR: writes the fuzz targets' seed inputs into DIR/<target>/: files of
// the sample meet, records cut from it, small meets for the print run, and a small face. The seeds
// in fuzz/corpus/ were written by it.

#include "fuzzsupport.h"
#include "meetbuilder.h"
#include "meetdb/meetfiles.h"
#include "meetdb/racestatus.h"
#include "meetfixture.h"
#include "naming/relayrecord.h"
#include "platform/cp932.h"
#include "samplemeet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace tarvel;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    fuzz::check(file.open(QIODevice::ReadOnly), "a meet file can be read");
    return file.readAll();
}

void put(const QString& dir, const QString& target, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(dir + u'/' + target);
    QFile file(dir + u'/' + target + u'/' + name);
    fuzz::check(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                    && file.write(bytes) == bytes.size(),
                "a seed can be written");
}

QByteArray record(const QByteArray& file, int recordLength, int recordNo)
{
    return file.mid(qsizetype(recordNo - 1) * recordLength, recordLength);
}

/// The meet's files name its folders as on the meet-management system's desk, rather than
/// by the temporary folder they were written in.
QByteArray onSystemDesk(QByteArray bytes, const sample::MeetBuilder& meet)
{
    QString root = meet.root() + u'/';
    root.replace(u'/', u'\\');
    return bytes.replace(cp932::encode(root), "C:\\meet\\");
}

/// Four races: two heats of one event with a tie and a participation, a relay, a custom
/// event; entries 1 to 6 swimmers, 7 to 10 relay legs, 11 the team.
void writeSmallMeet(sample::MeetBuilder& meet)
{
    using testing::heat;
    const int ages[] = {8, 10, 12, 14, 16, 17, 15, 15, 16, 16};
    for (int n = 1; n <= 10; ++n) {
        meet.writeSwimmer(n, testing::swimmer(u"2201100%1"_qs.arg(n, 3, 10, QChar(u'0')),
                                              u"泳田　%1郎"_qs.arg(n), qint16(ages[n - 1]), u"1"_qs,
                                              u"3%1"_qs.arg(n % 4)));
    }
    meet.writeSwimmer(11, testing::swimmer(u"22011"_qs, u"みなと川Ａ"_qs));
    CustomEventTable custom;
    custom.customDivision[0] = u"８才以下"_qs;
    custom.customEventName[0] = u"ちびっこリレー"_qs;
    meet.writeCustomEvents(custom);
    meet.writeRace(1, heat(1, 2, 2, {{1, 3012, 0}, {2, 3150, 0}, {3, 0, 0}}));
    meet.writeRace(2, heat(2, 2, 2, {{4, 3012, 0}, {5, 666666, 0}, {6, 2999, 30}}));
    RaceRecord relay = heat(1, 1, 24, {{11, 21050, 0}});
    relay.relayIndex = 1;
    meet.writeRace(3, relay);
    meet.writeRace(4, heat(1, 1, 30, {{1, 4000, 0}, {2, 4100, 0}}));
    LegSwimmers legs{};
    for (int leg = 0; leg < kLegCount; ++leg)
        legs[leg][0] = qint16(7 + leg);
    meet.writeRelay(1, legs);
    QByteArray status(kRaceCount, ' ');
    status.replace(0, 5,
                   "8888"
                   "9");
    meet.writeRaceStatus(status);
}

/// The print-run input: the choices, then the files without their reserved records.
QByteArray printRunInput(const sample::MeetBuilder& meet, const QString& choices)
{
    const QString data = meet.dataDirPath() + u'/';
    const QByteArray master = readAll(data + u"master.dat"_qs);
    const QByteArray separator(fuzz::kPartSeparator);
    return cp932::encode(choices) + separator + readAll(data + u"Race.dat"_qs) + separator
           + readAll(data + u"taikai.dat"_qs).mid(kReservedRecords * kRaceRecordLength) + separator
           + readAll(data + u"relay.dat"_qs).mid(kReservedRecords * kRelayRecordLength) + separator
           + master.left(2 * kMasterRecordLength)
           + master.mid(kReservedRecords * kMasterRecordLength);
}

/// Big-endian numbers of a font's tables.
QByteArray be(std::initializer_list<std::pair<int, quint64>> fields)
{
    QByteArray bytes;
    for (const auto& [size, value] : fields) {
        for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
            bytes.append(char(value >> shift));
    }
    return bytes;
}

/// A face of two glyphs (the missing glyph, empty, and a triangle) as the TrueType face
/// target takes it: its tables, then the glyphs to keep.
QByteArray triangleFace()
{
    const QByteArray head = be({{4, 0x00010000},
                                {4, 0x00010000},
                                {4, 0},
                                {4, 0x5F0F3CF5},
                                {2, 0},
                                {2, 1000},
                                {8, 0},
                                {8, 0},
                                {2, 0},
                                {2, 0},
                                {2, 600},
                                {2, 700},
                                {2, 0},
                                {2, 8},
                                {2, 2},
                                {2, 1},
                                {2, 0}});
    const QByteArray hhea = be({{4, 0x00010000},
                                {2, 800},
                                {2, quint16(-200)},
                                {2, 0},
                                {2, 600},
                                {2, 0},
                                {2, 0},
                                {2, 600},
                                {2, 1},
                                {2, 0},
                                {2, 0},
                                {8, 0},
                                {2, 0},
                                {2, 2}});
    const QByteArray maxp = be({{4, 0x00010000}, {2, 2}}) + QByteArray(26, '\0');
    const QByteArray hmtx = be({{2, 500}, {2, 0}, {2, 600}, {2, 50}});
    // One contour of three points on the curve: (50, 0), (300, 700), (550, 0).
    const QByteArray triangle = be({{2, 1},
                                    {2, 50},
                                    {2, 0},
                                    {2, 550},
                                    {2, 700},
                                    {2, 2},
                                    {2, 0},
                                    {1, 1},
                                    {1, 1},
                                    {1, 1},
                                    {2, 50},
                                    {2, 250},
                                    {2, 250},
                                    {2, 0},
                                    {2, 700},
                                    {2, quint16(-700)}});
    const QByteArray loca = be({{4, 0}, {4, 0}, {4, quint32(triangle.size())}});
    const QByteArray name =
        be({{2, 0}, {2, 1}, {2, 18}, {2, 1}, {2, 0}, {2, 0}, {2, 6}, {2, 8}, {2, 0}}) + "SeedFace";
    const QByteArray glyphs = be({{2, 1}, {2, 1}, {2, 7}});
    return QList<QByteArray>{head, hhea, maxp, hmtx, loca, triangle, name, glyphs}.join(
        fuzz::kPartSeparator);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: tarvel-fuzz-seeds DIR\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir scratch;
    sample::MeetBuilder sampleMeet(scratch.path() + u"/sample"_qs);
    sample::writeSampleMeet(sampleMeet);
    const QString data = sampleMeet.dataDirPath() + u'/';
    const QByteArray location =
        onSystemDesk(readAll(sampleMeet.root() + u"/ctl/dr_kyo.ctl"_qs), sampleMeet);
    const QByteArray kijun = onSystemDesk(readAll(data + u"kijun.dat"_qs), sampleMeet);
    const QByteArray layout = readAll(data + u"tarvel.dat"_qs);

    put(out, u"locationfile"_qs, u"sample"_qs, location);
    put(out, u"kijun"_qs, u"sample"_qs, kijun);
    put(out, u"layoutfile"_qs, u"sample"_qs, layout);
    for (const auto& [name, bytes] :
         {std::pair{u"location"_qs, location}, {u"kijun"_qs, kijun}, {u"layout"_qs, layout}})
        put(out, u"listinput"_qs, name, bytes);
    put(out, u"cp932"_qs, u"kijun"_qs, kijun);
    put(out, u"cp932"_qs, u"layout"_qs, layout);
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte.append(char(b));
    put(out, u"cp932"_qs, u"every-byte"_qs, everyByte);
    put(out, u"truetypefont"_qs, u"triangle"_qs, triangleFace());

    const QByteArray taikai = readAll(data + u"taikai.dat"_qs);
    for (int raceNo : {1, 40, 61})
        put(out, u"racerecord"_qs, u"race-%1"_qs.arg(raceNo),
            record(taikai, kRaceRecordLength, int(numberedRecord(raceNo))));
    const QByteArray master = readAll(data + u"master.dat"_qs);
    const int lastRecord = int(master.size() / kMasterRecordLength);
    for (int recordNo : {1, 2, 11, lastRecord})
        put(out, u"masterrecords"_qs, u"record-%1"_qs.arg(recordNo),
            record(master, kMasterRecordLength, recordNo));

    const char* numbers[] = {" 10",          "-3",      "6.5",      "7.5",
                             "1 2 . 5 e 1",  "1e999",   "-32768.5", "32767.5",
                             "2147483647.5", ".5e-400", "abc"};
    for (int i = 0; i < int(std::size(numbers)); ++i)
        put(out, u"numbers"_qs, u"text-%1"_qs.arg(i), numbers[i]);

    sample::MeetBuilder small(scratch.path() + u"/small"_qs);
    writeSmallMeet(small);
    const QString names = u"テスト大会,テストプール"_qs;
    put(out, u"printrun"_qs, u"simultaneous"_qs,
        printRunInput(small, u"0,0,0,0,0,,99,99,0,8,,,20240721,0,"_qs + names));
    put(out, u"printrun"_qs, u"grouped-refused"_qs,
        printRunInput(small, u"1,0,0,0,0,,3,3,0,8,4,1,20240721,1,"_qs + names));
    put(out, u"printrun"_qs, u"preview-only"_qs,
        printRunInput(small, u"0,0,0,2,1,22011,3,3,1,6,4,2,20240721,0,"_qs + names));
    return 0;
}
