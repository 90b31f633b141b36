// Damaged, missing and busy meets through tarvel-batch: each fault is told (what, which
// file, why) and Race.dat changes only for races whose certificates were delivered.
#include "batchprocess.h"
#include "meetdb/racestatus.h"
#include "meetfixture.h"
#include "platform/filelock.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

/// Races 1-2: a two-heat 100m free final; race 3: a free relay (relay.dat record 1);
/// race 4: a 50m free final. All four ready.
class FaultMeet {
public:
    FaultMeet()
    {
        sample::MeetBuilder& builder = meet.builder();
        builder.writeLocationFile();
        MeetSettings settings;
        settings.meetName = u"故障テスト大会"_qs;
        settings.laneCount = 4;
        builder.writeMeetHeader(settings);
        for (int n = 1; n <= 4; ++n) {
            builder.writeSwimmer(
                n, sample::MeetBuilder::swimmer(u"2000%1"_qs.arg(n), u"泳者%1"_qs.arg(n),
                                                u"東京都"_qs, u"ＳＣ"_qs, u"31"_qs, 15, u"1"_qs));
        }
        builder.writeSwimmer(9,
                             sample::MeetBuilder::swimmer(u"20009"_qs, u"チーム"_qs, u"東京都"_qs,
                                                          u"ＳＣ"_qs, u"31"_qs, 15, u"1"_qs));
        builder.writeRace(1, heat(1, 2, 3, {{1, 6000}}));
        builder.writeRace(2, heat(2, 2, 3, {{2, 6100}}));
        RaceRecord relay = heat(1, 1, 26, {{9, 25000}});
        relay.relayIndex = 1;
        builder.writeRace(3, relay);
        std::array<std::array<qint16, 12>, 4> legs{};
        for (int leg = 0; leg < 4; ++leg)
            legs[leg][0] = qint16(leg + 1);
        builder.writeRelay(1, legs);
        builder.writeRace(4, heat(1, 1, 2, {{3, 3000}}));
        builder.writeRaceStatus({1, 2, 3, 4}, '8');
    }

    QString data(const QString& name) const { return meet.dataPath(name); }
    QByteArray raceDat() const { return readFileBytes(data(u"Race.dat"_qs)); }
    void setStatus(int raceNo, char status)
    {
        QByteArray bytes = raceDat();
        bytes[raceNo - 1] = status;
        writeFileBytes(data(u"Race.dat"_qs), bytes);
    }
    void writeLocation(const QString& dataDir)
    {
        const QString items = u"\"T\",\"%1\",\"0\",\"%1\",\"master.dat\"\r\n"_qs.arg(dataDir);
        meet.builder().writeLocationFileBytes(items.toLatin1());
    }

    TempMeet meet;
};

struct FaultCase {
    const char* name;
    std::function<void(FaultMeet&)> damage;
    int exitCode;
    /// What stderr must say.
    QStringList told;
    /// Race.dat's first five statuses afterwards.
    QByteArray statuses;
    /// Files (relative to the meet's root) that must not exist afterwards.
    QStringList neverCreated;
};

/// A row's test name: its description, each run of other characters than letters and digits
/// as one "_".
template <class Row>
std::string rowName(const ::testing::TestParamInfo<Row>& info)
{
    QString name = QString::fromLatin1(info.param.name);
    name.replace(QRegularExpression(u"[^A-Za-z0-9]+"_qs), u"_"_qs);
    return name.toStdString();
}

/// Race 2, the first event's last heat, with heat fields `heatNo` of `heatCount`: that event
/// is told with `why` and left unprinted, the others are printed.
FaultCase damagedLastHeat(const char* name, int heatNo, int heatCount, const QString& why)
{
    return {name,
            [=](FaultMeet& m) {
                m.meet.builder().writeRace(2, heat(heatNo, heatCount, 3, {{2, 6100}}));
            },
            1,
            {u"R002: reading race 2: "_qs, why},
            "8899 ",
            {}};
}

const FaultCase kFaults[] = {
    {"taikai.dat missing",
     [](FaultMeet& m) { QFile::remove(m.data(u"taikai.dat"_qs)); },
     1,
     {u"taikai.dat: file not found (its place is named in ..\\ctl\\dr_kyo.ctl)"_qs},
     "8888 ",
     {u"data/taikai.dat"_qs}},
    {"kijun.dat moves the master file to a file that does not exist",
     [](FaultMeet& m) {
         m.meet.builder().writeMeetHeaderItems({QString(), u"junk.dat"_qs, u"0"_qs});
     },
     1,
     {u"junk.dat: file not found (its place is named in "_qs, u"kijun.dat)"_qs},
     "8888 ",
     {u"work/junk.dat"_qs, u"data/junk.dat"_qs}},
    {"relay.dat missing",
     [](FaultMeet& m) { QFile::remove(m.data(u"relay.dat"_qs)); },
     1,
     {u"relay.dat: file not found"_qs, u"R003"_qs},
     "9988 ",
     {u"data/relay.dat"_qs}},
    {"a ready race past the end of taikai.dat",
     [](FaultMeet& m) { m.setStatus(5, '8'); },
     1,
     {u"R005: reading race 5: "_qs, u"taikai.dat: record 15 at byte 3584: past the end"_qs},
     "99998",
     {}},
    {"a relay index naming no record",
     [](FaultMeet& m) {
         RaceRecord relay = heat(1, 1, 26, {{9, 25000}});
         relay.relayIndex = -30;
         m.meet.builder().writeRace(3, relay);
     },
     1,
     {u"R003 男子 100mリレー 決勝: "_qs,
      u"relay.dat: the race's relay index -30 names no record"_qs},
     "9989 ",
     {}},
    {"a layout file cut after the rank limits",
     [](FaultMeet& m) { writeFileBytes(m.data(u"tarvel.dat"_qs), "x,x,"); },
     1,
     {u"could not be read whole (the file ends before field 3 of 83)"_qs,
      u"the rank limit for individual events \"x\" is not a number"_qs},
     "8888 ",
     {}},
    {"a data folder that does not exist",
     [](FaultMeet& m) {
         m.writeLocation(QString(m.meet.builder().root()).replace(u'/', u'\\') + u"\\nowhere\\"_qs);
     },
     1,
     {u"nowhere\\ (named in ..\\ctl\\dr_kyo.ctl) does not exist"_qs},
     "8888 ",
     {u"nowhere"_qs}},
    {"a Windows drive without a Wine drive link",
     [](FaultMeet& m) {
         m.writeLocation(u"Q:\\meet\\data\\"_qs);
         qputenv("WINEPREFIX", QFile::encodeName(m.meet.builder().root() + u"/wine"_qs));
     },
     1,
     {u"it is a Windows path"_qs, u"/wine/dosdevices/q:"_qs, u"WINEPREFIX"_qs},
     "8888 ",
     {}},
    damagedLastHeat("damaged heat fields on an event's last heat: heat 3 of 2", 3, 2,
                    u"taikai.dat: its heat fields say heat 3 of 2"_qs),
    damagedLastHeat("damaged heat fields on an event's last heat: heat 0 of 2", 0, 2,
                    u"heat 0 of 2"_qs),
    damagedLastHeat("damaged heat fields on an event's last heat: heat 2 of 0", 2, 0,
                    u"heat 2 of 0"_qs),
    {"nothing ready",
     [](FaultMeet& m) { m.meet.builder().writeRaceStatus({}, '8'); },
     0,
     {u"No race was ready"_qs},
     QByteArray(5, ' '),
     {u"pdf"_qs}},
};

class FaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTest, IsToldAndMarksOnlyWhatWasDelivered)
{
    const FaultCase& fault = GetParam();
    FaultMeet meet;
    fault.damage(meet);
    const BatchOutcome outcome = runBatch({u"-C"_qs, meet.meet.builder().workDir(), u"--pdf"_qs,
                                           meet.meet.builder().root() + u"/pdf"_qs});
    qunsetenv("WINEPREFIX");

    EXPECT_EQ(outcome.exitCode, fault.exitCode) << qPrintable(outcome.err);
    for (const QString& words : fault.told)
        EXPECT_TRUE(outcome.err.contains(words)) << qPrintable(words) << "\n"
                                                 << qPrintable(outcome.err);
    EXPECT_EQ(meet.raceDat().left(5), fault.statuses);
    for (const QString& file : fault.neverCreated)
        EXPECT_FALSE(QFileInfo::exists(meet.meet.builder().root() + u'/' + file))
            << qPrintable(file);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(kFaults), rowName<FaultCase>);

TEST(FaultTest, AnotherRunHoldingTheMeetIsNamedAndNothingIsPrinted)
{
    FaultMeet meet;
    std::optional<FileLock> held = FileLock::tryAcquire(meet.data(u"tarvel.lock"_qs), u"test"_qs);
    ASSERT_TRUE(held);
    held->writeNote("program=tarvel\npid=4242\nhost=desk-2\nsince=2026-12-08T10:42:03\n");
    const QByteArray before = meet.raceDat();
    const QString pdf = meet.meet.builder().root() + u"/pdf"_qs;

    const QStringList arguments{u"-C"_qs, meet.meet.builder().workDir(), u"--pdf"_qs, pdf};
    const BatchOutcome busy = runBatch(arguments);
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_TRUE(busy.err.contains(u"the meet is being printed by tarvel (process 4242 on desk-2) "
                                  u"since 2026-12-08 10:42:03"_qs))
        << qPrintable(busy.err);
    EXPECT_EQ(meet.raceDat(), before);
    EXPECT_FALSE(QFileInfo::exists(pdf));

    // The lock is the system's, not the file's: once released, the next run goes ahead.
    held.reset();
    EXPECT_EQ(runBatch(arguments).exitCode, 0);
    EXPECT_EQ(meet.raceDat().left(5), QByteArray("9999 "));
}

TEST(FaultTest, AFullDiskRemovesTheUnfinishedPdfAndSaysSo)
{
    // A tiny file system of its own, in a mount namespace that goes with the command.
    FaultMeet meet;
    const QString pdf = meet.meet.builder().root() + u"/pdf"_qs;
    QDir().mkpath(pdf);
    const QByteArray before = meet.raceDat();
    QProcess shell;
    shell.start(u"unshare"_qs,
                {u"-rm"_qs, u"sh"_qs, u"-c"_qs,
                 u"mount -t tmpfs -o size=12k tmpfs \"$1\" || exit 99; "
                 "\"$2\" -C \"$3\" --pdf \"$1\"; status=$?; ls -A \"$1\"; exit $status"_qs,
                 u"sh"_qs, pdf, batchProgram(), meet.meet.builder().workDir()});
    ASSERT_TRUE(shell.waitForFinished(120000));
    if (shell.exitCode() == 99 || shell.error() == QProcess::FailedToStart)
        GTEST_SKIP() << "no private mount namespace here";
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    EXPECT_EQ(shell.exitCode(), 1) << qPrintable(err);
    EXPECT_TRUE(err.contains(u"No space left on device"_qs)) << qPrintable(err);
    EXPECT_EQ(shell.readAllStandardOutput().trimmed(), QByteArray()) << "a PDF was left behind";
    EXPECT_EQ(meet.raceDat(), before);
}

/// Runs tarvel-batch on `meet` with `dataFile` of its data folder mounted read-only, in a
/// private mount namespace that goes with the command (it works as root too); exit code 99
/// when this system offers none.
BatchOutcome runWithReadOnly(FaultMeet& meet, const QString& dataFile, const QString& pdf)
{
    QProcess shell;
    shell.start(u"unshare"_qs,
                {u"-rm"_qs, u"sh"_qs, u"-c"_qs,
                 u"mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" || exit 99; "
                 "exec \"$2\" -C \"$3\" --pdf \"$4\""_qs,
                 u"sh"_qs, meet.data(dataFile), batchProgram(), meet.meet.builder().workDir(),
                 pdf});
    if (!shell.waitForFinished(120000) || shell.error() == QProcess::FailedToStart)
        return {99, {}, {}};
    return {shell.exitCode(), QString::fromUtf8(shell.readAllStandardOutput()),
            QString::fromUtf8(shell.readAllStandardError())};
}

TEST(FaultTest, ARaceTableThatCannotBeMarkedPrintsNothingAndSaysWhy)
{
    FaultMeet meet;
    const QByteArray before = meet.raceDat();
    const QString pdf = meet.meet.builder().root() + u"/pdf"_qs;
    const BatchOutcome outcome = runWithReadOnly(meet, u"Race.dat"_qs, pdf);
    if (outcome.exitCode == 99)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(outcome.exitCode, 1) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"checking that races can be marked as printed: "_qs))
        << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(u"data\\Race.dat: Read-only file system"_qs))
        << qPrintable(outcome.err);
    EXPECT_TRUE(QDir(pdf).entryList({u"*.pdf"_qs}).isEmpty());
    EXPECT_EQ(meet.raceDat(), before);
}

struct PlantedLink {
    const char* name;
    /// Where the link is planted, relative to the data folder, and what it points to
    /// relative to the meet's root; `target` is made a file when `targetExists`.
    QString link;
    QString target;
    bool targetExists;
    /// Arguments beyond -C: the PDF folder chosen.
    bool pdfInDataFolder;
};

const PlantedLink kPlantedLinks[] = {
    {"a lock file linked to nothing", u"tarvel.lock"_qs, u"victim"_qs, false, false},
    {"a lock file linked to a file", u"tarvel.lock"_qs, u"victim"_qs, true, false},
    {"a certificate folder linked to nothing", u"certificates"_qs, u"victim"_qs, false, true},
    {"a certificate folder linked to a folder", u"certificates"_qs, u"victim"_qs, true, true},
};

class PlantedLinkTest : public ::testing::TestWithParam<PlantedLink> {};

TEST_P(PlantedLinkTest, IsRefusedNamingTheFileAndNothingIsWrittenThroughIt)
{
    const PlantedLink& planted = GetParam();
    FaultMeet meet;
    const QString root = meet.meet.builder().root();
    const QString target = root + u'/' + planted.target;
    const bool folder = planted.link == u"certificates";
    if (planted.targetExists && folder)
        QDir().mkpath(target);
    else if (planted.targetExists)
        writeFileBytes(target, "keep me");
    ASSERT_TRUE(QFile::link(target, meet.data(planted.link)));
    const QByteArray before = meet.raceDat();

    const QString pdf = planted.pdfInDataFolder ? meet.data(u"certificates"_qs) : root + u"/pdf"_qs;
    const BatchOutcome outcome =
        runBatch({u"-C"_qs, meet.meet.builder().workDir(), u"--pdf"_qs, pdf});
    EXPECT_EQ(outcome.exitCode, 1) << qPrintable(outcome.err);
    EXPECT_TRUE(outcome.err.contains(meet.data(planted.link) + u": it is a symbolic link"_qs))
        << qPrintable(outcome.err);
    if (!planted.targetExists)
        EXPECT_FALSE(QFileInfo::exists(target)) << "the link's target was created";
    else if (folder)
        EXPECT_TRUE(QDir(target).entryList(QDir::Files | QDir::Hidden).isEmpty());
    else
        EXPECT_EQ(readFileBytes(target), QByteArray("keep me"));
    EXPECT_EQ(meet.raceDat(), before);
}

INSTANTIATE_TEST_SUITE_P(Links, PlantedLinkTest, ::testing::ValuesIn(kPlantedLinks),
                         rowName<PlantedLink>);

TEST(ConcurrentRunsTest, TwoRunsAtOnceNeverPrintACertificateTwice)
{
    TempMeet meet;
    sample::writeSampleMeet(meet.builder());
    QTemporaryDir out;
    QProcess first, second;
    for (QProcess* run : {&first, &second}) {
        run->start(batchProgram(), {u"-C"_qs, meet.builder().workDir(), u"--pdf"_qs,
                                    out.path() + (run == &first ? u"/a"_qs : u"/b"_qs)});
    }
    ASSERT_TRUE(first.waitForFinished(120000) && second.waitForFinished(120000));

    // Each event's document exists once over both folders, and together they hold every
    // certificate of the meet.
    QStringList events;
    for (const QString& folder : {u"/a"_qs, u"/b"_qs}) {
        for (const QString& file : QDir(out.path() + folder).entryList({u"*.pdf"_qs}))
            events << file.mid(20); // after the time stamp
    }
    EXPECT_EQ(events.size(), 36);
    EXPECT_EQ(QSet<QString>(events.begin(), events.end()).size(), events.size());
    const QByteArray statuses = readFileBytes(meet.dataPath(u"Race.dat"_qs));
    EXPECT_EQ(statuses.count(kRacePrinted), 61);
    EXPECT_EQ(statuses.count(kRaceReady), 0);
}

} // namespace
} // namespace tarvel::testing
