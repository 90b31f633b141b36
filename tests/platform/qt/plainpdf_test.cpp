// Documents of plain text written by Tarvel's own PDF writer, read back by poppler: the words
// where Qt's writer puts them, each character reading back as itself, every face embedded,
// and what the writer cannot give painted through Qt as before.
#include "platform/qt/fonts.h"
#include "platform/qt/pdfdevice.h"
#include "poppler.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>

namespace tarvel {
namespace {

using testing::pdfFontNames;
using testing::pdfPageCount;
using testing::pdfText;
using testing::pdfWords;
using testing::runTool;

class PlainPdfTest : public ::testing::Test {
protected:
    /// What `draw` draws as one document, plain or painted; the file.
    QString written(bool plain, const std::function<void(PdfDevice&)>& draw)
    {
        PdfDevice pdf(folder_.path() + (plain ? u"/plain"_qs : u"/painted"_qs));
        pdf.setPlainTextDocuments(plain ? std::make_shared<TrueTypeFaces>() : nullptr);
        draw(pdf);
        const Delivery delivery = pdf.endDocument();
        EXPECT_TRUE(delivery.sent);
        return pdf.writtenFiles().value(0);
    }

    static QString producer(const QString& pdf)
    {
        const QString info = runTool(u"pdfinfo"_qs, {pdf});
        const qsizetype at = info.indexOf(u"Producer:"_qs);
        return at < 0 ? QString() : info.mid(at + 9, info.indexOf(u'\n', at) - at - 9).trimmed();
    }

    QTemporaryDir folder_;
};

void drawText(PdfDevice& device, double x, double y, double points, double maxWidth,
              const QString& text)
{
    device.setPosition(x, y);
    device.setFontSize(points);
    device.setMaxWidth(maxWidth);
    device.drawText(text);
}

TEST_F(PlainPdfTest, WordsStandWhereThePaintedDocumentPutsThem)
{
    const auto draw = [](PdfDevice& device) {
        device.setFontFace(QString::fromUtf16(kWindowFace));
        drawText(device, 0, 0, 12, 0, u"第12回みなと川大会"_qs);
        drawText(device, 1000, 800, 18, 0, u"R012 男子 100m自由形 決勝"_qs);
        // Condensed across, then also smaller.
        drawText(device, 1000, 1600, 14, 3000, u"とても長い所属名の水泳クラブ"_qs);
        drawText(device, 1000, 2400, 14, 900, u"ずっと長い長い長い名前の水泳クラブ"_qs);
        device.drawLine(0, 3000, 11000, 3000);
        device.endPage();
        drawText(device, 5000, 8000, 30, 0, u"1:02.34"_qs);
    };
    const QString painted = written(false, draw);
    const QString plain = written(true, draw);
    EXPECT_EQ(producer(plain), u"Tarvel"_qs);
    EXPECT_EQ(pdfPageCount(plain), 2);
    const auto expected = pdfWords(painted);
    const auto words = pdfWords(plain);
    ASSERT_EQ(words.size(), expected.size());
    for (size_t i = 0; i < words.size(); ++i) {
        SCOPED_TRACE(words[i].text.toStdString());
        EXPECT_EQ(words[i].text, expected[i].text);
        EXPECT_EQ(words[i].page, expected[i].page);
        EXPECT_NEAR(words[i].box.left(), expected[i].box.left(), 0.5);
        EXPECT_NEAR(words[i].box.right(), expected[i].box.right(), 0.5);
        EXPECT_NEAR(words[i].box.bottom(), expected[i].box.bottom(), 0.5);
    }
}

TEST_F(PlainPdfTest, EveryCharacterReadsBackAsItselfInAnEmbeddedFace)
{
    struct Case {
        const char* what;
        const char16_t* face;
        QString text;
        QStringList faces;
    };
    const Case cases[] = {
        // The IPA faces draw both with one glyph.
        {"wave dash and full-width tilde", kWindowFace, u"1～2 3〜4"_qs, {u"IPAPGothic"_qs}},
        // The brush face claims 髙 but draws it as nothing: it comes from a fallback face.
        {"a fallback face",
         kCertificateFace,
         u"髙橋"_qs,
         {u"AoyagiKouzanFontT"_qs, u"IPAPMincho"_qs}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString pdf = written(true, [&](PdfDevice& device) {
            device.setFontFace(QString::fromUtf16(c.face));
            drawText(device, 0, 0, 20, 0, c.text);
        });
        EXPECT_EQ(producer(pdf), u"Tarvel"_qs);
        EXPECT_EQ(pdfText(pdf).trimmed(), c.text);
        QStringList faces = pdfFontNames(pdf);
        faces.sort();
        EXPECT_EQ(faces, c.faces);
        // Each face embedded as a subset that names its characters.
        const QStringList rows = runTool(u"pdffonts"_qs, {pdf}).split(u'\n', Qt::SkipEmptyParts);
        for (const QString& row : rows.mid(2))
            EXPECT_TRUE(row.contains(u"yes yes yes"_qs)) << row.toStdString();
    }
}

TEST_F(PlainPdfTest, ACharacterNoFaceHasIsPaintedAsBefore)
{
    const QString pdf = written(true, [](PdfDevice& device) {
        device.setFontFace(QString::fromUtf16(kWindowFace));
        drawText(device, 0, 0, 20, 0, u"表彰"_qs);
        drawText(device, 0, 800, 20, 0, QString::fromUcs4(U"\U0010FFFD"));
    });
    EXPECT_TRUE(producer(pdf).startsWith(u"Qt"_qs));
    EXPECT_TRUE(pdfText(pdf).contains(u"表彰"_qs));
}

} // namespace
} // namespace tarvel
