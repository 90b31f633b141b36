#include "meetdb/datalocations.h"

#include "platform/cp932.h"
#include "platform/failure.h"
#include "tempmeet.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tarvel {
namespace {

/// Runs each test in the meet's work folder, where "..\ctl\dr_kyo.ctl" is the location
/// file, and goes back to where it was afterwards.
class DataLocationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousDir_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(meet_.builder().workDir()));
    }
    void TearDown() override { QDir::setCurrent(previousDir_); }

    void writeLocationFile(const QString& text)
    {
        meet_.builder().writeLocationFileBytes(cp932::encode(text));
    }

    testing::TempMeet meet_;

private:
    QString previousDir_;
};

TEST_F(DataLocationsTest, ReadsTheFileTheMeetBuilderWrites)
{
    meet_.builder().writeLocationFile();
    const DataLocations where = loadDataLocations();
    const DataLocations expected = meet_.locations();
    EXPECT_EQ(where.dataDir, expected.dataDir);
    EXPECT_EQ(where.masterDir, expected.masterDir);
    EXPECT_EQ(where.masterFileName, expected.masterFileName);
}

struct ItemsCase {
    const char* name;
    const char16_t* file;
    const char16_t* dataDir;
    const char16_t* masterDir;
    const char16_t* masterFileName;
};

class DataLocationsItems : public DataLocationsTest,
                           public ::testing::WithParamInterface<ItemsCase> {};

TEST_P(DataLocationsItems, TakesItemsTwoFourAndFive)
{
    const ItemsCase& c = GetParam();
    writeLocationFile(QString::fromUtf16(c.file));
    const DataLocations where = loadDataLocations();
    EXPECT_EQ(where.dataDir, QString::fromUtf16(c.dataDir));
    EXPECT_EQ(where.masterDir, QString::fromUtf16(c.masterDir));
    EXPECT_EQ(where.masterFileName, QString::fromUtf16(c.masterFileName));
}

INSTANTIATE_TEST_SUITE_P(
    Items, DataLocationsItems,
    ::testing::Values(
        ItemsCase{"BackslashAppended", u"x,D:\\meet\\data,x,D:\\meet\\master,m.dat",
                  u"D:\\meet\\data\\", u"D:\\meet\\master\\", u"m.dat"},
        ItemsCase{"TrailingBackslashKept", u"x,D:\\meet\\data\\,x,E:\\m\\,SW.DAT\r\n",
                  u"D:\\meet\\data\\", u"E:\\m\\", u"SW.DAT"},
        ItemsCase{"QuotedWithCommas", u"\"a,b\",\"D:\\x,y\",\"c,d\",\"D:\\p,q\\\",\"f,1.dat\"\r\n",
                  u"D:\\x,y\\", u"D:\\p,q\\", u"f,1.dat"},
        ItemsCase{"EmptyFoldersAreTheDriveRoot", u"x,,x,\"\",m.dat", u"\\", u"\\", u"m.dat"},
        ItemsCase{"LineBreaksBlanksAndExtraItems",
                  u"x\r\n   C:\\d\nx\r  C:\\m\\\r\n master.dat\r\nsixth,seventh\r\n", u"C:\\d\\",
                  u"C:\\m\\", u"master.dat"},
        // 表 is 0x95 0x5C in cp932: its second byte is a backslash, the character is not.
        ItemsCase{"LastCharacterNotLastByte", u"x,C:\\大会表,x,C:\\名簿\\,選手.dat",
                  u"C:\\大会表\\", u"C:\\名簿\\", u"選手.dat"}),
    [](const ::testing::TestParamInfo<ItemsCase>& info) { return info.param.name; });

TEST_F(DataLocationsTest, FewerThanFiveItemsFail)
{
    for (const QString& text : {u""_qs, u"x,D:\\data,x,D:\\master\r\n"_qs}) {
        SCOPED_TRACE(text.toStdString());
        writeLocationFile(text);
        try {
            loadDataLocations();
            ADD_FAILURE() << "no failure";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.reason(), u"input past end of file"_qs);
            EXPECT_EQ(failure.path(), QString::fromUtf16(kLocationFile));
        }
    }
}

TEST_F(DataLocationsTest, MissingFileFails)
{
    try {
        loadDataLocations();
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.reason(), u"file not found"_qs);
    }
}

TEST_F(DataLocationsTest, IsRelativeToTheWorkingDirectory)
{
    meet_.builder().writeLocationFile();
    ASSERT_TRUE(QDir::setCurrent(meet_.builder().root()));
    EXPECT_THROW(loadDataLocations(), Failure);
    ASSERT_TRUE(QDir::setCurrent(meet_.builder().workDir()));
    EXPECT_EQ(loadDataLocations().dataDir, meet_.locations().dataDir);
}

} // namespace
} // namespace tarvel
