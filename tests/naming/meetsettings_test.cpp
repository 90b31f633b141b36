#include "naming/meetsettings.h"

#include "tempmeet.h"

#include <gtest/gtest.h>

namespace tarvel {
namespace {

/// Where the location file put the master file before kijun.dat is read.
const DataLocations kFromLocationFile{QString(), u"X:\\old\\"_qs, u"OLD.DAT"_qs, {}, {}};

class MeetSettingsTest : public ::testing::Test {
protected:
    /// The locations with the temporary data folder and the master file of kFromLocationFile.
    DataLocations startLocations() const
    {
        DataLocations where = kFromLocationFile;
        where.dataDir = meet_.locations().dataDir;
        return where;
    }

    /// Items 1 to `count` of a header that uses every field; item n is written as given.
    static QStringList headerItems(int count)
    {
        QStringList items = {u"\"D:\\master\\\""_qs,
                             u"\"SW2003.DAT\""_qs,
                             u"\"0\""_qs,
                             u"\"第1回,記録会\""_qs,
                             u"\"\""_qs,
                             u"20030301"_qs,
                             u"3"_qs,
                             u"\"市民プール\""_qs,
                             u"\"\""_qs,
                             u"\"\""_qs,
                             u"\"4\""_qs,
                             u"\"2\""_qs,
                             u"\"\""_qs,
                             u"8"_qs,
                             u"1"_qs};
        for (int item = 16; item <= 73; ++item)
            items << (item <= 70 ? QString::number(item) : u"\"t\""_qs);
        return items.mid(0, count);
    }

    void expectHeaderTaken(const MeetSettings& meet, const DataLocations& where)
    {
        EXPECT_EQ(meet.meetName, u"第1回,記録会"_qs);
        EXPECT_EQ(meet.meetDate, 20030301);
        EXPECT_EQ(meet.venue, u"市民プール"_qs);
        EXPECT_EQ(meet.meetKind, u"4"_qs);
        EXPECT_EQ(meet.groupMode, u"2"_qs);
        EXPECT_EQ(meet.laneCount, 8);
        EXPECT_EQ(where.masterDir, u"D:\\master\\"_qs);
        EXPECT_EQ(where.masterFileName, u"SW2003.DAT"_qs);
    }

    void expectDefaults(const MeetSettings& meet)
    {
        EXPECT_EQ(meet.meetName, QString());
        EXPECT_EQ(meet.meetDate, 0);
        EXPECT_EQ(meet.venue, QString());
        EXPECT_EQ(meet.meetKind, QString());
        EXPECT_EQ(meet.groupMode, QString());
        EXPECT_EQ(meet.laneCount, 4);
    }

    testing::TempMeet meet_;
};

TEST_F(MeetSettingsTest, ReadsTheHeaderTheMeetBuilderWrites)
{
    MeetSettings written;
    written.meetName = u"県民大会"_qs;
    written.meetDate = 20240915;
    written.venue = u"総合プール"_qs;
    written.meetKind = u"4"_qs;
    written.groupMode = u"1"_qs;
    written.laneCount = 10;
    meet_.builder().writeMeetHeader(written);

    DataLocations where = startLocations();
    const MeetSettings read = loadMeetSettings(where);
    EXPECT_EQ(read.meetName, written.meetName);
    EXPECT_EQ(read.meetDate, written.meetDate);
    EXPECT_EQ(read.venue, written.venue);
    EXPECT_EQ(read.meetKind, written.meetKind);
    EXPECT_EQ(read.groupMode, written.groupMode);
    EXPECT_EQ(read.laneCount, written.laneCount);
    EXPECT_EQ(where.masterFile(), meet_.locations().masterFile());
}

TEST_F(MeetSettingsTest, SeventyToSeventyThreeItemsAreComplete)
{
    for (int count : {70, 71, 72, 73}) {
        SCOPED_TRACE(count);
        meet_.builder().writeMeetHeaderItems(headerItems(count));
        DataLocations where = startLocations();
        expectHeaderTaken(loadMeetSettings(where), where);
    }
}

TEST_F(MeetSettingsTest, AShorterFileGivesDefaultsAfterTakingTheMasterLocation)
{
    for (int count : {69, 14, 2}) {
        SCOPED_TRACE(count);
        meet_.builder().writeMeetHeaderItems(headerItems(count));
        DataLocations where = startLocations();
        expectDefaults(loadMeetSettings(where));
        EXPECT_EQ(where.masterDir, u"D:\\master\\"_qs);
        EXPECT_EQ(where.masterFileName, u"SW2003.DAT"_qs);
    }
}

TEST_F(MeetSettingsTest, NoFileGivesDefaultsAndKeepsTheMasterLocation)
{
    DataLocations where = startLocations();
    expectDefaults(loadMeetSettings(where));
    EXPECT_EQ(where.masterDir, kFromLocationFile.masterDir);
    EXPECT_EQ(where.masterFileName, kFromLocationFile.masterFileName);
}

TEST_F(MeetSettingsTest, ANumberThatDoesNotFitResetsEverySetting)
{
    struct Case {
        int item;
        const char16_t* text;
    };
    const Case cases[] = {
        {14, u"40000"}, {14, u"-32769"}, {6, u"3000000000"}, {7, u"2147483648"},
        {15, u"32768"}, {16, u"99999"},  {50, u"-40000"},    {70, u"1e6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        QStringList items = headerItems(73);
        items[c.item - 1] = QString::fromUtf16(c.text);
        meet_.builder().writeMeetHeaderItems(items);
        DataLocations where = startLocations();
        expectDefaults(loadMeetSettings(where));
        EXPECT_EQ(where.masterDir, u"D:\\master\\"_qs);
        EXPECT_EQ(where.masterFileName, u"SW2003.DAT"_qs);
    }
}

TEST_F(MeetSettingsTest, NumbersRoundHalvesToEven)
{
    struct Case {
        const char16_t* lanes;
        qint16 laneCount;
        const char16_t* date;
        qint32 meetDate;
    };
    const Case cases[] = {
        {u"6.5", 6, u"20030301", 20030301},
        {u"7.5", 8, u"20030301.5", 20030302},
        {u"32767", 32767, u"2147483647", 2147483647},
        {u"-32768", -32768, u"-2147483648", -2147483647 - 1},
        {u"6 lanes", 6, u"abc", 0},
        {u"\"\"", 0, u"\" 19990101\"", 19990101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.lanes).toStdString());
        QStringList items = headerItems(70);
        items[13] = QString::fromUtf16(c.lanes);
        items[5] = QString::fromUtf16(c.date);
        meet_.builder().writeMeetHeaderItems(items);
        DataLocations where = startLocations();
        const MeetSettings meet = loadMeetSettings(where);
        EXPECT_EQ(meet.laneCount, c.laneCount);
        EXPECT_EQ(meet.meetDate, c.meetDate);
        EXPECT_EQ(meet.meetName, u"第1回,記録会"_qs) << "the load failed";
    }
}

TEST_F(MeetSettingsTest, TextsAndTheMasterLocationAreTakenAsRead)
{
    QStringList items = headerItems(73);
    items[0] = u"\"E:\\swim\""_qs; // no trailing backslash: none is added
    items[1] = u"list.dat"_qs;
    items[10] = u"\" 4\""_qs;
    items[11] = u"\"x\""_qs;
    meet_.builder().writeMeetHeaderItems(items);
    DataLocations where = startLocations();
    const MeetSettings meet = loadMeetSettings(where);
    EXPECT_EQ(where.masterDir, u"E:\\swim"_qs);
    EXPECT_EQ(where.masterFile(), u"E:\\swimlist.dat"_qs);
    EXPECT_EQ(meet.meetKind, u" 4"_qs);
    EXPECT_EQ(meet.groupMode, u"x"_qs);
}

} // namespace
} // namespace tarvel
