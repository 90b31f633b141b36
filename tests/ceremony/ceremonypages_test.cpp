// The ceremony list as it comes out on paper (a PDF read back by poppler): every name whole,
// in the order of the stack, readable sizes, the page count in every foot.
#include "ceremony/ceremonypages.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/translations.h"
#include "poppler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace tarvel {
namespace {

using testing::pdfPageCount;
using testing::pdfPageSize;
using testing::pdfRows;
using testing::pdfWords;

class CeremonyPagesTest : public ::testing::Test {
protected:
    void SetUp() override { installTranslations(*qApp, QLocale(QLocale::Japanese)); }
    void TearDown() override
    {
        qDeleteAll(qApp->findChildren<QTranslator*>());
        QLocale::setDefault(QLocale::system());
    }

    /// The list drawn into a PDF file of its own; its path.
    QString written(const CeremonyList& list)
    {
        PdfDevice pdf(folder_.path());
        pdf.setPlainTextDocuments(std::make_shared<TrueTypeFaces>()); // as the lists are sent
        pdf.setDocumentName(ceremonyDocumentName(list));
        pages_ = drawCeremonyList(pdf, list, QDateTime(QDate(2024, 7, 21), QTime(10, 5)));
        pdf.endDocument();
        return pdf.writtenFiles().value(0);
    }

    QTemporaryDir folder_;
    int pages_ = 0;
};

/// The words whose left edge lies between `left` and `right` points, in reading order,
/// joined: what a column carries over all its lines.
QString columnText(const std::vector<testing::PdfWord>& words, double left, double right)
{
    QString text;
    for (const QString& row : pdfRows([&] {
             std::vector<testing::PdfWord> inColumn;
             for (const auto& word : words) {
                 if (word.box.left() >= left && word.box.left() < right)
                     inColumn.push_back(word);
             }
             return inColumn;
         }()))
        text += row;
    return text;
}

CeremonyEntry swimmer(const QString& rank, const QString& name, const QString& affiliation)
{
    return {rank, name, affiliation, u"静岡県"_qs, u"1:04.20"_qs, QString(), {}};
}

/// Points from the page's left edge: the PDF files' margin, then twips.
constexpr double pointsFromEdge(double twips)
{
    return (195.0 + twips) / 20.0;
}

TEST_F(CeremonyPagesTest, LongNamesAndTeamsComeOutWholeInStackOrder)
{
    const QString longName = u"寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末"_qs;
    const QString longClub = u"みなと川市立第二中学校水泳部ＯＢ会スイミングクラブ"_qs;
    CeremonyEvent event{12, u"R012 男子 100m自由形 決勝"_qs, {}};
    event.groups.append({u"13- 14才"_qs,
                         {swimmer(u"1位"_qs, u"川波　海斗"_qs, u"若鮎スイム"_qs),
                          swimmer(u"2位"_qs, longName, longClub),
                          swimmer(u"2位"_qs, u"泉谷　陸"_qs, u"浜風中学校"_qs)}});
    CeremonyEntry team = swimmer(u"1位"_qs, QString(), u"潮見ＳＣ"_qs);
    team.mark = u"大会新"_qs;
    team.legs =
        QStringList{u"1 汐崎　櫂"_qs, u"2 水城　大河"_qs, u"3 川波　翔太"_qs, u"4 帆足　颯"_qs};
    event.groups.append({u"リレー"_qs, {team}});
    const QString pdf = written({u"第12回みなと川ジュニア水泳競技大会"_qs, {event}});

    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(pages_, 1);
    EXPECT_EQ(pdfPageCount(pdf), 1);
    EXPECT_TRUE(pdfPageSize(pdf).contains(u"(A4)"_qs)) << pdfPageSize(pdf).toStdString();
    const std::vector<testing::PdfWord> words = pdfWords(pdf);
    const QStringList rows = pdfRows(words);
    qsizetype at = 0;
    for (const QString& expected :
         {u"第12回みなと川ジュニア水泳競技大会"_qs, u"R012男子100m自由形決勝"_qs, u"13-14才"_qs,
          u"1位川波海斗若鮎スイム静岡県1:04.20"_qs, u"2位泉谷陸浜風中学校静岡県1:04.20"_qs,
          u"リレー"_qs, u"1位潮見ＳＣ静岡県1:04.20大会新"_qs, u"1汐崎櫂"_qs, u"2水城大河"_qs,
          u"3川波翔太"_qs, u"4帆足颯"_qs}) {
        const qsizetype found = rows.indexOf(expected, at);
        EXPECT_GE(found, 0) << "missing or out of order: " << expected.toStdString() << "\n"
                            << rows.join(u'\n').toStdString();
        if (found >= 0)
            at = found;
    }
    EXPECT_EQ(rows.join(QString()).count(u"潮見ＳＣ"_qs), 1) << "a team is listed once";
    // The long texts are carried on within their columns, never cut and never over the
    // next column.
    const auto caption = std::find_if(words.begin(), words.end(),
                                      [](const auto& word) { return word.text == u"名前"_qs; });
    ASSERT_NE(caption, words.end());
    std::vector<testing::PdfWord> entries;
    std::copy_if(words.begin(), words.end(), std::back_inserter(entries), [&](const auto& word) {
        // below the captions, above the foot
        return word.box.top() > caption->box.bottom() && word.box.top() < 800.0;
    });
    EXPECT_EQ(columnText(entries, pointsFromEdge(1000), pointsFromEdge(4100)),
              u"川波海斗"_qs + longName + u"泉谷陸潮見ＳＣ1汐崎櫂2水城大河3川波翔太4帆足颯"_qs);
    EXPECT_EQ(columnText(entries, pointsFromEdge(4100), pointsFromEdge(7100)),
              u"若鮎スイム"_qs + longClub + u"浜風中学校"_qs)
        << columnText(entries, pointsFromEdge(4100), pointsFromEdge(7100)).toStdString();
    for (const auto& word : entries) {
        if (word.box.left() >= pointsFromEdge(1000) && word.box.left() < pointsFromEdge(4100)
            && word.text != u"潮見ＳＣ"_qs) {
            EXPECT_LE(word.box.right(), pointsFromEdge(4100) + 0.5) << word.text.toStdString();
        }
    }
    for (const auto& word : words)
        EXPECT_GE(word.box.height(), 11.5) << word.text.toStdString() << " is too small";
    EXPECT_TRUE(rows.last().startsWith(u"1/1"_qs)) << rows.last().toStdString();
    EXPECT_TRUE(rows.last().contains(u"2024/07/2110:05"_qs)) << rows.last().toStdString();
}

TEST_F(CeremonyPagesTest, ManyEntriesRunOnPagesThatCountThemselves)
{
    CeremonyList list{u"テスト大会"_qs, {}};
    for (int e = 1; e <= 6; ++e) {
        CeremonyEvent event{e, u"R%1 種目"_qs.arg(e, 3, 10, QLatin1Char('0')), {{QString(), {}}}};
        for (int rank = 1; rank <= 10; ++rank)
            event.groups[0].entries.append(
                swimmer(u"%1位"_qs.arg(rank), u"選手%1の%2"_qs.arg(e).arg(rank), u"ＳＣ"_qs));
        list.events.append(event);
    }
    const QString pdf = written(list);
    ASSERT_FALSE(pdf.isEmpty());
    ASSERT_GE(pages_, 2);
    EXPECT_EQ(pdfPageCount(pdf), pages_);
    const QStringList rows = pdfRows(pdfWords(pdf));
    QStringList feet;
    for (const QString& row : rows) {
        static const QRegularExpression pageOfPages(u"^\\d+/\\d+"_qs);
        if (row.contains(u"2024/07/2110:05"_qs))
            feet << pageOfPages.match(row).captured();
    }
    QStringList expectedFeet;
    for (int page = 1; page <= pages_; ++page)
        expectedFeet << u"%1/%2"_qs.arg(page).arg(pages_);
    EXPECT_EQ(feet, expectedFeet);
    const QString text = rows.join(QString());
    qsizetype at = 0;
    for (int e = 1; e <= 6; ++e) {
        for (int rank = 1; rank <= 10; ++rank) {
            const qsizetype found = text.indexOf(u"選手%1の%2"_qs.arg(e).arg(rank), at);
            ASSERT_GE(found, 0) << e << " " << rank;
            at = found;
        }
    }
}

TEST_F(CeremonyPagesTest, AnEmptyListDrawsNothing)
{
    EXPECT_TRUE(written({u"テスト大会"_qs, {}}).isEmpty());
    EXPECT_EQ(pages_, 0);
}

} // namespace
} // namespace tarvel
