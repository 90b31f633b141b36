// tarvel.ini beside tarvel.dat: the items' widest widths and the blank certificate, read
// back from the file's own text.
#include "layout/layoutfile.h"
#include "layout/layoutini.h"

#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace tarvel::testing {
namespace {

class LayoutIniTest : public ::testing::Test {
protected:
    QString iniPath() const { return meet.dataPath(u"tarvel.ini"_qs); }
    QString iniText() const { return QString::fromUtf8(readFileBytes(iniPath())); }

    TempMeet meet;
};

TEST_F(LayoutIniTest, WithoutAFileThereAreNoWidthsNoBackdropAndNoFileIsMade)
{
    Layout layout = defaultLayout();
    layout.items[4].maxWidth = 999; // whatever was held before is replaced
    EXPECT_EQ(loadLayoutIni(meet.locations(), layout), Backdrop{});
    EXPECT_EQ(layout.items[4].maxWidth, 0);
    saveItemWidths(meet.locations(), defaultLayout());
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(LayoutIniTest, WidthsAndBackdropAreWrittenAsSectionsAndReadBack)
{
    Layout layout = defaultLayout();
    layout.items[0].maxWidth = 5000;
    layout.items[18].maxWidth = 1200;
    saveLayout(meet.locations(), layout);
    saveItemWidths(meet.locations(), layout);
    const QString inside = meet.builder().dataDirPath() + u"/scans/blank.png"_qs;
    saveBackdrop(meet.locations(), backdropFor(meet.locations(), inside, 0.35));

    const QString text = iniText();
    EXPECT_TRUE(text.contains(u"[item0]\nmaxWidth=5000"_qs)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"[item18]\nmaxWidth=1200"_qs)) << text.toStdString();
    EXPECT_FALSE(text.contains(u"[item4]"_qs));
    EXPECT_TRUE(text.contains(u"[backdrop]"_qs));
    EXPECT_TRUE(text.contains(u"image=scans/blank.png"_qs)) << "relative inside the data folder";

    Layout read = defaultLayout();
    const Backdrop backdrop = loadLayoutIni(meet.locations(), read);
    for (int i = 0; i < kItemCount; ++i)
        EXPECT_EQ(read.items[i].maxWidth, layout.items[i].maxWidth) << i;
    EXPECT_DOUBLE_EQ(backdrop.opacity, 0.35);
    EXPECT_EQ(backdropImagePath(meet.locations(), backdrop), QDir::cleanPath(inside));

    // A width taken off goes from the file; tarvel.dat holds no width at all.
    layout.items[18].maxWidth = 0;
    saveItemWidths(meet.locations(), layout);
    EXPECT_FALSE(iniText().contains(u"[item18]"_qs));
    EXPECT_EQ(readFileBytes(meet.dataPath(u"tarvel.dat"_qs)), encodeLayout(defaultLayout()));
}

TEST_F(LayoutIniTest, AnImageOutsideTheDataFolderIsKeptWhole)
{
    const QString outside = QDir::cleanPath(meet.builder().dataDirPath() + u"/../blank.pdf"_qs);
    const Backdrop backdrop = backdropFor(meet.locations(), outside, 1.0);
    EXPECT_EQ(backdrop.image, outside);
    EXPECT_EQ(backdropImagePath(meet.locations(), backdrop), outside);
}

TEST_F(LayoutIniTest, WidthsThatAreNoPositiveNumberMeanNoLimit)
{
    writeFileBytes(iniPath(), "[item1]\nmaxWidth=-40\n[item2]\nmaxWidth=abc\n[item3]\n"
                              "maxWidth=0\n[item5]\nmaxWidth=777\n[backdrop]\nopacity=7\n");
    Layout layout = defaultLayout();
    const Backdrop backdrop = loadLayoutIni(meet.locations(), layout);
    for (int i = 0; i < kItemCount; ++i)
        EXPECT_EQ(layout.items[i].maxWidth, i == 5 ? 777 : 0) << i;
    EXPECT_DOUBLE_EQ(backdrop.opacity, Backdrop{}.opacity) << "opacity beyond 1 ignored";
}

} // namespace
} // namespace tarvel::testing
