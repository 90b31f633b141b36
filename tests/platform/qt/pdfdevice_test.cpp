#include "platform/qt/pdfdevice.h"

#include "layout/drawing.h"
#include "platform/failure.h"
#include "platform/qt/fonts.h"
#include "platform/qt/printtarget.h"
#include "poppler.h"
#include "tempmeet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace tarvel {
namespace {

using testing::inkedPixels;
using testing::pdfFontNames;
using testing::pdfPageCount;
using testing::pdfText;
using testing::pdfWords;
using testing::renderPdfPage;

/// A layout with every item off but those given, each at (x, y) twips and `size` points.
struct Placed {
    int item;
    int x;
    int y;
    int size;
    QString text;
};

std::pair<Layout, ItemTexts> placing(const std::vector<Placed>& placed)
{
    Layout layout = defaultLayout();
    ItemTexts texts = startupItemTexts(layout);
    for (ItemLayout& item : layout.items)
        item.switchState = kSwitchOff;
    for (const Placed& p : placed) {
        layout.items[p.item] = ItemLayout{kSwitchOn, QString::number(p.x), QString::number(p.y),
                                          QString::number(p.size)};
        texts[p.item] = p.text;
    }
    return {layout, texts};
}

class PdfDeviceTest : public ::testing::Test {
protected:
    QString folder() const { return dir.path() + u"/certificates"_qs; }
    QStringList pdfFiles() const
    {
        QStringList files = QDir(folder()).entryList({u"*.pdf"_qs}, QDir::Files, QDir::Name);
        for (QString& file : files)
            file = folder() + u'/' + file;
        return files;
    }
    /// Prints one page and ends the document.
    QString printOne(const Layout& layout, const ItemTexts& texts, const QString& face = {})
    {
        PdfDevice device(folder());
        if (!face.isEmpty())
            device.setFontFace(face);
        printPage(device, layout, texts, PreviewOnly::No);
        device.endDocument();
        EXPECT_EQ(device.writtenFiles().size(), 1);
        return device.writtenFiles().value(0);
    }

    QTemporaryDir dir;
};

TEST_F(PdfDeviceTest, EachDocumentBecomesOneFileWithItsPages)
{
    const Layout layout = defaultLayout();
    const ItemTexts texts = startupItemTexts(layout);
    PdfDevice device(folder());
    device.setDocumentName(u"race-042"_qs);
    for (int page = 0; page < 3; ++page)
        printPage(device, layout, texts, PreviewOnly::No);
    device.endDocument(); // right after an endPage: no blank fourth page
    device.setDocumentName(u"test"_qs);
    printPage(device, layout, texts, PreviewOnly::No);
    device.endDocument();

    const QStringList files = pdfFiles();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(device.writtenFiles(), files) << "names sort by time";
    EXPECT_TRUE(files[0].endsWith(u"-race-042.pdf"_qs)) << files[0].toStdString();
    EXPECT_TRUE(files[1].endsWith(u"-test.pdf"_qs)) << files[1].toStdString();
    EXPECT_EQ(pdfPageCount(files[0]), 3);
    EXPECT_EQ(pdfPageCount(files[1]), 1);
    EXPECT_TRUE(testing::pdfPageSize(files[0]).contains(u"(A4)"_qs));
    EXPECT_EQ(device.documentsEnded(), 2);
    const QString info = testing::runTool(u"pdfinfo"_qs, {files[0]});
    const auto line = [](const QString& pattern) {
        return QRegularExpression(pattern, QRegularExpression::MultilineOption);
    };
    EXPECT_TRUE(info.contains(line(u"^Title: +race-042$"_qs))) << info.toStdString();
    EXPECT_TRUE(info.contains(line(u"^Creator: +Tarvel$"_qs))) << info.toStdString();
}

TEST_F(PdfDeviceTest, NothingDrawnSendsNothing)
{
    PdfDevice device(folder());
    device.endDocument();
    device.endPage();
    device.endDocument();
    auto [layout, texts] = placing({});
    printPage(device, layout, texts, PreviewOnly::No); // every item off: no output at all
    device.endDocument();
    EXPECT_TRUE(pdfFiles().isEmpty());
    EXPECT_EQ(device.documentsEnded(), 0);
}

TEST_F(PdfDeviceTest, ADocumentIsWrittenWholeOnlyWhenEndedAndNeverHalfDrawn)
{
    const Layout layout = defaultLayout();
    {
        PdfDevice device(folder());
        device.setDocumentName(u"dropped"_qs);
        printPage(device, layout, startupItemTexts(layout), PreviewOnly::No);
        device.abortDocument();
        device.setDocumentName(u"open at the end"_qs);
        printPage(device, layout, startupItemTexts(layout), PreviewOnly::No);
        EXPECT_TRUE(pdfFiles().isEmpty());
    }
    EXPECT_TRUE(pdfFiles().isEmpty());

    PdfDevice device(folder());
    printPage(device, layout, startupItemTexts(layout), PreviewOnly::No);
    printPage(device, layout, startupItemTexts(layout), PreviewOnly::No);
    const Delivery delivery = device.endDocument();
    const QStringList files = pdfFiles();
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(pdfPageCount(files[0]), 2);
    EXPECT_EQ(delivery.pages, 2);
    EXPECT_EQ(QFileInfo(delivery.destination), QFileInfo(files[0]));
}

TEST_F(PdfDeviceTest, TextStandsWhereItsTwipsSay)
{
    auto [layout, texts] = placing({{0, 1440, 2880, 24, u"Hxy"_qs},
                                    {1, 0, 0, 12, u"Origin"_qs},
                                    {2, 7200, 14400, 36, u"漢字"_qs}});
    const QString pdf = printOne(layout, texts, u"IPAPGothic"_qs);

    // The printable area begins 195 twips from the left and 289 from the top of the page.
    const std::vector<testing::PdfWord> words = pdfWords(pdf);
    const std::map<QString, QPointF> expected = {
        {u"Hxy"_qs, {(195 + 1440) / 20.0, (289 + 2880) / 20.0}},
        {u"Origin"_qs, {195 / 20.0, 289 / 20.0}},
        {u"漢字"_qs, {(195 + 7200) / 20.0, (289 + 14400) / 20.0}},
    };
    ASSERT_EQ(words.size(), expected.size());
    for (const testing::PdfWord& word : words) {
        SCOPED_TRACE(word.text.toStdString());
        ASSERT_TRUE(expected.count(word.text));
        EXPECT_NEAR(word.box.left(), expected.at(word.text).x(), 1.0);
        EXPECT_NEAR(word.box.top(), expected.at(word.text).y(), 1.0);
    }
}

TEST_F(PdfDeviceTest, TextIsAsWideAsItsFaceDesignsIt)
{
    // Forty glyphs stay within a sixth of a point of the face's own advances: neither hinted
    // widths nor a font size rounded to the page's device units add up along the line.
    const QString text = u"HHHHHHHHHHxxxxxxxxxxyyyyyyyyyy1111111111"_qs;
    auto [layout, texts] = placing({{0, 0, 0, 23, text}});
    const QString pdf = printOne(layout, texts, u"IPAPGothic"_qs);

    QFont unhinted(u"IPAPGothic"_qs);
    unhinted.setPixelSize(1000);
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    const QRawFont raw = QRawFont::fromFont(unhinted);
    double ems = 0.0;
    for (const QPointF advance : raw.advancesForGlyphIndexes(raw.glyphIndexesForString(text)))
        ems += advance.x() / 1000.0;

    const std::vector<testing::PdfWord> words = pdfWords(pdf);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_NEAR(words[0].box.width(), ems * 23.0, 0.15);
}

TEST_F(PdfDeviceTest, JapaneseAndHalfWidthKatakanaComeBackUnchanged)
{
    // No full-width blanks: pdftotext writes every gap between words as " ".
    const QStringList lines = {u"第１２回県民水泳競技大会"_qs, u"ｶﾀｶﾅ ﾊﾝｶｸ ｼﾒｲ ｧｨｩｪｫｯｬｭｮｰﾞﾟ"_qs,
                               u"１００ｍ自由形 １位 ～１２歳"_qs, u"①②③〒髙﨑 ￠￡￢―"_qs};
    for (const QString& face :
         {QString::fromUtf16(kCertificateFace), QString::fromUtf16(kWindowFace)}) {
        SCOPED_TRACE(face.toStdString());
        std::vector<Placed> placed;
        for (int i = 0; i < lines.size(); ++i)
            placed.push_back({13 + i, 300, 2000 + 1500 * i, 30, lines[i]});
        auto [layout, texts] = placing(placed);
        const QString pdf = printOne(layout, texts, face);
        const QStringList extracted = pdfText(pdf).split(u'\n', Qt::SkipEmptyParts);
        QStringList found;
        for (const QString& line : extracted) {
            if (!line.trimmed().isEmpty() && line != u"\f"_qs)
                found.append(line.trimmed());
        }
        EXPECT_EQ(found, lines);
    }
}

TEST_F(PdfDeviceTest, CharactersTheBrushFaceLeavesEmptyAreDrawnWithTheFallback)
{
    // 髙 and 﨑 (cp932's extension rows) and ～ are empty glyphs in the brush face.
    auto [layout, texts] = placing({{4, 1440, 1440, 40, u"髙橋"_qs},
                                    {5, 1440, 4320, 40, u"山﨑"_qs},
                                    {6, 1440, 7200, 40, u"１０～１２"_qs},
                                    // one character each, for the ink check below
                                    {7, 1440, 10080, 72, u"髙"_qs},
                                    {8, 4320, 10080, 72, u"﨑"_qs},
                                    {9, 7200, 10080, 72, u"～"_qs},
                                    {10, 1440, 13000, 72, u"橋"_qs}});
    const QString pdf = printOne(layout, texts, QString::fromUtf16(kCertificateFace));

    const QStringList fonts = pdfFontNames(pdf);
    EXPECT_TRUE(fonts.contains(u"AoyagiKouzanFontT"_qs)) << fonts.join(u' ').toStdString();
    EXPECT_TRUE(fonts.contains(u"IPAPMincho"_qs)) << fonts.join(u' ').toStdString();

    const QString text = pdfText(pdf);
    for (const QString& whole : {u"髙橋"_qs, u"山﨑"_qs, u"１０～１２"_qs})
        EXPECT_TRUE(text.contains(whole)) << whole.toStdString() << " in " << text.toStdString();

    // At 72 dpi a point is a pixel: each 72-point character has ink in its own cell.
    const QImage page = renderPdfPage(pdf, 1, 72);
    ASSERT_FALSE(page.isNull());
    for (const auto& [x, y, what] :
         {std::tuple{1440, 10080, "髙"}, std::tuple{4320, 10080, "﨑"},
          std::tuple{7200, 10080, "～"}, std::tuple{1440, 13000, "橋"}}) {
        const QRect cell((195 + x) / 20, (289 + y) / 20, 72, 90);
        EXPECT_GT(inkedPixels(page, cell), 150) << what;
    }
}

TEST_F(PdfDeviceTest, OddSizesPositionsAndFacesDrawWhatTheyCanAndNeverStop)
{
    Layout layout = defaultLayout();
    ItemTexts texts = startupItemTexts(layout);
    layout.items[0].size = u"0"_qs;
    layout.items[1].size = u"-12"_qs;
    layout.items[2].size = u"1e300"_qs;
    layout.items[3].x = u"-1e300"_qs;
    layout.items[4].y = u"1e30"_qs;
    layout.items[5].size = u"abc"_qs;
    texts[6] = QString();
    for (const QString& face : {QString(), u"No Such Face 123"_qs}) {
        const QString pdf = printOne(layout, texts, face);
        EXPECT_EQ(pdfPageCount(pdf), 1);
        const QString text = pdfText(pdf);
        EXPECT_TRUE(text.contains(u"年月日"_qs)) << "an unknown or empty face falls back";
        EXPECT_FALSE(text.contains(u"種目"_qs)) << "size 0 draws nothing";
    }
}

TEST_F(PdfDeviceTest, AnUnwritableFolderFailsTheDocumentAndTheNextOneStartsClean)
{
    QFile blocker(dir.path() + u"/file"_qs);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    PdfDevice device(dir.path() + u"/file/certificates"_qs);
    device.setFontSize(12);
    device.drawText(u"x"_qs);
    EXPECT_THROW(device.endDocument(), Failure);
    EXPECT_FALSE(device.isDocumentOpen());
    EXPECT_FALSE(device.endDocument().sent);
}

TEST(PrintTargetTest, PdfFilesGoToTheFolderGivenAndNothingIsCreatedBeforeAPage)
{
    testing::TempMeet meet;
    PrintTarget target = openPdfTarget(meet.dataPath(u"certificates"_qs));
    ASSERT_EQ(target.kind, PrintTargetKind::PdfFiles);
    EXPECT_EQ(QDir(target.where).absolutePath(),
              QDir(meet.dataPath(u"certificates"_qs)).absolutePath());
    EXPECT_FALSE(QFileInfo::exists(target.where)) << "nothing is created before a page";

    const Layout layout = defaultLayout();
    target.device->setDocumentName(u"R001 男子 25m自由形 決勝"_qs);
    printPage(*target.device, layout, startupItemTexts(layout), PreviewOnly::No);
    target.device->endDocument();
    EXPECT_EQ(QDir(target.where).entryList({u"*-R001_男子_25m自由形_決勝.pdf"_qs}).size(), 1);
}

} // namespace
} // namespace tarvel
