// The calibration page as it comes out of the PDF device: every mark and text on the
// printable area, in either language.

#include "layout/calibrationpage.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/translations.h"
#include "poppler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTranslator>

namespace tarvel {
namespace {

using testing::inkedPixels;
using testing::pdfWords;
using testing::renderPdfPage;

constexpr double kTwipsPerPoint = 20.0;

class CalibrationPagePdfTest : public ::testing::TestWithParam<QLocale::Language> {
protected:
    void SetUp() override
    {
        installTranslations(*qApp, QLocale(GetParam(), QLocale::AnyTerritory));
    }
    void TearDown() override
    {
        qDeleteAll(qApp->findChildren<QTranslator*>());
        QLocale::setDefault(QLocale::system());
    }
};

TEST_P(CalibrationPagePdfTest, EveryMarkAndTextLiesOnThePrintableArea)
{
    QTemporaryDir folder;
    PdfDevice pdf(folder.path());
    // A long name, as print queues are often named.
    const QString printer = u"office-laser-printer-second-floor-by-the-stairs-tray-2"_qs;
    const QString file = printCalibrationPage(pdf, printer, {-120, 45}).destination;

    // The design page where the PDF device puts it: A4, margins 195 and 289 twips.
    const QRectF area(195 / kTwipsPerPoint, 289 / kTwipsPerPoint, 11516 / kTwipsPerPoint,
                      16260 / kTwipsPerPoint);
    const std::vector<testing::PdfWord> words = pdfWords(file);
    ASSERT_GT(words.size(), 24u);
    bool rightColumnLabelled = false;
    for (const testing::PdfWord& word : words) {
        EXPECT_TRUE(area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(word.box))
            << word.text.toStdString() << " at " << word.box.left() << ", " << word.box.top()
            << " to " << word.box.right() << ", " << word.box.bottom();
        rightColumnLabelled = rightColumnLabelled || word.text == u"10080"_qs;
    }
    EXPECT_TRUE(rightColumnLabelled);

    // No ink at all on the margins (the crosses' arms included), at 100 dpi.
    constexpr int kDpi = 100;
    const QImage page = renderPdfPage(file, 1, kDpi);
    ASSERT_FALSE(page.isNull());
    const double scale = kDpi / 72.0;
    const QRect inside =
        QRectF(area.topLeft() * scale, area.size() * scale).toAlignedRect().adjusted(-1, -1, 1, 1);
    const QRect margins[] = {
        QRect(0, 0, page.width(), inside.top()),
        QRect(0, inside.bottom() + 1, page.width(), page.height()),
        QRect(0, 0, inside.left(), page.height()),
        QRect(inside.right() + 1, 0, page.width(), page.height()),
    };
    EXPECT_GT(inkedPixels(page, inside), 0);
    for (const QRect& margin : margins)
        EXPECT_EQ(inkedPixels(page, margin), 0) << margin.x() << ", " << margin.y();
}

INSTANTIATE_TEST_SUITE_P(InEitherLanguage, CalibrationPagePdfTest,
                         ::testing::Values(QLocale::English, QLocale::Japanese),
                         [](const ::testing::TestParamInfo<QLocale::Language>& info) {
                             return QLocale::languageToCode(info.param).toStdString();
                         });

} // namespace
} // namespace tarvel
