#include "platform/paths.h"

#include "platform/failure.h"
#include "platform/recordfile.h"

#include "tempmeet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "qstringprinter.h"

#include <gtest/gtest.h>

#include <optional>

using namespace tarvel;
using tarvel::testing::readFileBytes;
using tarvel::testing::writeFileBytes;

namespace {

/// Sets an environment variable (unsets it when `value` is empty) for one test and
/// restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name)
    {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

/// Runs the test from inside a temporary folder, going back afterwards.
class PathsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        root_ = QDir(dir_.path()).canonicalPath();
        oldCwd_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(root_));
    }
    void TearDown() override { QDir::setCurrent(oldCwd_); }

    QString at(const QString& relative) const { return root_ + u'/' + relative; }

    QTemporaryDir dir_;
    QString root_;
    QString oldCwd_;
};

TEST_F(PathsTest, EmptyStaysEmpty)
{
    EXPECT_EQ(hostPath(QString()), QString());
}

TEST_F(PathsTest, BackslashesBecomeSlashes)
{
    writeFileBytes(at(u"data/Race.dat"_qs), "x");
    EXPECT_EQ(hostPath(root_ + u"\\data\\Race.dat"_qs), at(u"data/Race.dat"_qs));
    EXPECT_EQ(hostPath(u"data\\Race.dat"_qs), u"data/Race.dat"_qs);
}

TEST_F(PathsTest, NamesAreFoundIgnoringCase)
{
    writeFileBytes(at(u"DATA/Sub/RACE.DAT"_qs), "race");
    EXPECT_EQ(hostPath(at(u"data\\sub\\Race.dat"_qs)), at(u"DATA/Sub/RACE.DAT"_qs));
    EXPECT_EQ(hostPath(at(u"Data/SUB/race.dat"_qs)), at(u"DATA/Sub/RACE.DAT"_qs));
    // Opening through the program's spelling reaches the other system's file.
    RecordFile records = RecordFile::openOrCreate(at(u"data\\sub\\Race.dat"_qs), 4);
    EXPECT_EQ(records.readRecord(1), QByteArray("race"));
}

TEST_F(PathsTest, ExactNameWinsOverAnotherCase)
{
    writeFileBytes(at(u"kijun.dat"_qs), "lower");
    writeFileBytes(at(u"KIJUN.DAT"_qs), "upper");
    EXPECT_EQ(hostPath(at(u"KIJUN.DAT"_qs)), at(u"KIJUN.DAT"_qs));
    EXPECT_EQ(hostPath(at(u"kijun.dat"_qs)), at(u"kijun.dat"_qs));
}

TEST_F(PathsTest, NamesNotFoundStayAsGiven)
{
    ASSERT_TRUE(QDir().mkpath(at(u"DATA"_qs)));
    // A file to be created gets the given name, in the folder that was found.
    EXPECT_EQ(hostPath(at(u"data\\New.dat"_qs)), at(u"DATA/New.dat"_qs));
    EXPECT_EQ(hostPath(at(u"nowhere\\Deep\\x.dat"_qs)), at(u"nowhere/Deep/x.dat"_qs));
    RecordFile created = RecordFile::openOrCreate(at(u"data\\New.dat"_qs), 1);
    EXPECT_TRUE(QFile::exists(at(u"DATA/New.dat"_qs)));
}

TEST_F(PathsTest, RelativePathsStartAtTheWorkingDirectory)
{
    writeFileBytes(at(u"CTL/DR_KYO.CTL"_qs), "ctl");
    ASSERT_TRUE(QDir().mkpath(at(u"prog"_qs)));
    ASSERT_TRUE(QDir::setCurrent(at(u"prog"_qs)));
    EXPECT_EQ(hostPath(u"..\\ctl\\dr_kyo.ctl"_qs), u"../CTL/DR_KYO.CTL"_qs);
    EXPECT_EQ(readWholeFile(u"..\\ctl\\dr_kyo.ctl"_qs, u"reading"_qs), QByteArray("ctl"));
    // "." and ".." go by the letters of the path, as on Windows, even through a missing folder.
    EXPECT_EQ(hostPath(u".\\x\\..\\..\\Ctl\\Dr_Kyo.ctl"_qs), u"../CTL/DR_KYO.CTL"_qs);
}

TEST_F(PathsTest, DriveLettersGoThroughWineDriveLinks)
{
    writeFileBytes(at(u"drive_c/meet/DATA/Race.dat"_qs), "wine");
    ASSERT_TRUE(QDir().mkpath(at(u"prefix/dosdevices"_qs)));
    ASSERT_TRUE(QFile::link(at(u"drive_c"_qs), at(u"prefix/dosdevices/c:"_qs)));
    const ScopedEnv prefix("WINEPREFIX", QFile::encodeName(at(u"prefix"_qs)));

    const QString link = at(u"prefix/dosdevices/c:"_qs);
    EXPECT_EQ(hostPath(u"C:\\meet\\data\\Race.dat"_qs), link + u"/meet/DATA/Race.dat"_qs);
    EXPECT_EQ(hostPath(u"c:/meet/DATA/Race.dat"_qs), link + u"/meet/DATA/Race.dat"_qs);
    EXPECT_EQ(hostPath(u"C:\\"_qs), link + u'/');
    EXPECT_EQ(hostPath(u"C:\\..\\meet\\x\\..\\data\\Race.dat"_qs),
              link + u"/meet/DATA/Race.dat"_qs);
    EXPECT_EQ(readWholeFile(u"C:\\MEET\\data\\race.dat"_qs, u"reading"_qs), QByteArray("wine"));

    // A drive without a link stays as it is and fails to open, naming the path.
    const QString dDrive = u"D:\\meet\\Race.dat"_qs;
    EXPECT_EQ(hostPath(dDrive), u"D:/meet/Race.dat"_qs);
    EXPECT_THROW(RecordFile::openOrCreate(dDrive, 1024), Failure);
}

TEST_F(PathsTest, WithoutWinePrefixTheHomeWineIsUsed)
{
    writeFileBytes(at(u"home/.wine/drive_c/meet/kijun.dat"_qs), "home");
    ASSERT_TRUE(QDir().mkpath(at(u"home/.wine/dosdevices"_qs)));
    ASSERT_TRUE(QFile::link(at(u"home/.wine/drive_c"_qs), at(u"home/.wine/dosdevices/c:"_qs)));
    const ScopedEnv home("HOME", QFile::encodeName(at(u"home"_qs)));
    const ScopedEnv noPrefix("WINEPREFIX", QByteArray());
    EXPECT_EQ(readWholeFile(u"C:\\meet\\kijun.dat"_qs, u"reading"_qs), QByteArray("home"));
}

} // namespace
