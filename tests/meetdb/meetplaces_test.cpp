#include "meetdb/meetplaces.h"

#include "tempmeet.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

class MeetPlacesTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings_.path())); }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    /// root/<meet>/<ctl>/<file>, written.
    QString writeMeet(const QString& meet, const QString& ctl = u"ctl"_qs,
                      const QString& file = u"dr_kyo.ctl"_qs)
    {
        const QString folder = root_.path() + u'/' + meet + u'/' + ctl;
        writeFileBytes(folder + u'/' + file, "x");
        return folder;
    }

    QTemporaryDir root_;
    QTemporaryDir settings_;
};

TEST_F(MeetPlacesTest, TheLocationFolderIsFoundFromTheFolderTheFileOrTheMeet)
{
    const QString ctl = writeMeet(u"meet"_qs);
    const QString upper = writeMeet(u"other"_qs, u"CTL"_qs, u"DR_KYO.CTL"_qs);
    writeFileBytes(root_.path() + u"/empty/ctl/readme.txt"_qs, "x");
    const struct {
        QString chosen;
        std::optional<QString> found;
    } cases[] = {
        {ctl, ctl},
        {ctl + u"/dr_kyo.ctl"_qs, ctl},
        {root_.path() + u"/meet"_qs, ctl},
        {root_.path() + u"/other"_qs, upper},
        {upper + u"/DR_KYO.CTL"_qs, upper},
        {root_.path() + u"/empty"_qs, std::nullopt},
        {root_.path() + u"/empty/ctl/readme.txt"_qs, std::nullopt},
        {root_.path() + u"/nowhere"_qs, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(locationFolderOf(c.chosen), c.found) << qPrintable(c.chosen);
}

TEST_F(MeetPlacesTest, RememberedMeetsAreLastChosenFirstAtMostEightAndStillThere)
{
    QStringList folders;
    for (int i = 0; i < 10; ++i)
        folders << writeMeet(u"meet%1"_qs.arg(i));
    for (const QString& folder : folders)
        RememberedMeets::remember(folder);
    RememberedMeets::remember(folders[5]); // chosen again: to the top, not twice

    const QStringList listed = RememberedMeets::list();
    ASSERT_EQ(listed.size(), RememberedMeets::kKept);
    EXPECT_EQ(listed[0], folders[5]);
    EXPECT_EQ(listed[1], folders[9]);
    EXPECT_EQ(listed.count(folders[5]), 1);
    EXPECT_FALSE(listed.contains(folders[0]));

    // A meet whose location file has gone is no longer offered.
    QDir(folders[9]).removeRecursively();
    EXPECT_FALSE(RememberedMeets::list().contains(folders[9]));
}

} // namespace
} // namespace tarvel::testing
