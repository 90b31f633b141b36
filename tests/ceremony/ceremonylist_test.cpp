// The ceremony list read from certificates as delivered: ties, relays, groups.
#include "ceremony/ceremonylist.h"

#include "platform/qt/translations.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

namespace tarvel {
namespace {

/// Headings are the page's words: Japanese, as the lists are printed.
class CeremonyListTest : public ::testing::Test {
protected:
    void SetUp() override { installTranslations(*qApp, QLocale(QLocale::Japanese)); }
    void TearDown() override
    {
        qDeleteAll(qApp->findChildren<QTranslator*>());
        QLocale::setDefault(QLocale::system());
    }
};

/// A certificate as the composer fills it: rank, name, affiliation, prefecture, result,
/// mark, grade, age and class label.
struct Printed {
    int heat = 0;
    int lane = 0;
    std::optional<int> leg;
    QString rank;
    QString name;
    QString affiliation = u"カモメＳＳ"_qs;
    QString result = u"   30.00"_qs;
    QString mark{};
    QString classLabel{};
    QString grade = u"中1"_qs;
    QString age = u"13"_qs;
};

QList<CeremonyCertificate> stackOf(const QList<Printed>& printed)
{
    QList<CeremonyCertificate> stack;
    for (const Printed& p : printed) {
        CeremonyCertificate c{p.heat, p.lane, p.leg, {}};
        c.items[1] = p.result;
        c.items[2] = p.rank;
        c.items[3] = p.mark;
        c.items[4] = p.name;
        c.items[5] = u"静岡県"_qs;
        c.items[6] = p.affiliation;
        c.items[7] = p.grade;
        c.items[8] = p.age;
        c.items[11] = u"第12回テスト大会"_qs;
        c.items[18] = p.classLabel;
        stack << c;
    }
    return stack;
}

QStringList ranksOf(const CeremonyGroup& group)
{
    QStringList ranks;
    for (const CeremonyEntry& entry : group.entries)
        ranks << entry.rank + u':' + entry.name + entry.affiliation;
    return ranks;
}

TEST_F(CeremonyListTest, TiesAcrossHeatsStayLevelInTheOrderOfTheStack)
{
    const CeremonyEvent event = ceremonyEventOf(
        12, u"R012 男子 50m自由形 決勝"_qs,
        stackOf({{12, 3, {}, u"  1位"_qs, u"波野　渚 "_qs},
                 {11, 4, {}, u"  2位"_qs, u"磯村　葵"_qs, u"白波ＳＷ"_qs},
                 {12, 5, {}, u"  2位"_qs, u"水城　凪"_qs, u"浜風"_qs, u"   30.00"_qs, u"大会新"_qs},
                 {12, 1, {}, u"  4位"_qs, u"泉谷　湊"_qs}}));
    ASSERT_EQ(event.groups.size(), 1);
    EXPECT_EQ(event.groups[0].heading, QString());
    EXPECT_EQ(ranksOf(event.groups[0]),
              (QStringList{u"1位:波野　渚カモメＳＳ"_qs, u"2位:磯村　葵白波ＳＷ"_qs,
                           u"2位:水城　凪浜風"_qs, u"4位:泉谷　湊カモメＳＳ"_qs}));
    const CeremonyEntry& third = event.groups[0].entries[2];
    EXPECT_EQ(third.result, u"30.00"_qs);
    EXPECT_EQ(third.mark, u"大会新"_qs);
    EXPECT_EQ(third.prefecture, u"静岡県"_qs);
    EXPECT_TRUE(third.legs.isEmpty());
}

TEST_F(CeremonyListTest, RelayTeamOnceWithItsLegsBeneath)
{
    QList<Printed> printed;
    const QStringList teams{u"潮見ＳＣ"_qs, u"白波ＳＷ"_qs};
    for (int team = 0; team < 2; ++team) {
        for (int leg = 0; leg < 4; ++leg) {
            // The second team's second leg had no swimmer: its certificate names no one.
            const QString name =
                team == 1 && leg == 1 ? QString() : u"泳者%1-%2"_qs.arg(team).arg(leg + 1);
            printed.append({53, 4 + team, leg, u"  %1位"_qs.arg(team + 1), name, teams[team]});
        }
    }
    // Two teams tied in different heats share the rank but stay two entries.
    for (int leg = 0; leg < 4; ++leg)
        printed.append({52, 4, leg, u"  2位"_qs, u"泳者x-%1"_qs.arg(leg + 1), u"浜風"_qs});

    const CeremonyEvent event =
        ceremonyEventOf(53, u"R053 200mメドレーリレー"_qs, stackOf(printed));
    ASSERT_EQ(event.groups.size(), 1);
    const QList<CeremonyEntry>& entries = event.groups[0].entries;
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(ranksOf(event.groups[0]),
              (QStringList{u"1位:潮見ＳＣ"_qs, u"2位:白波ＳＷ"_qs, u"2位:浜風"_qs}));
    EXPECT_EQ(entries[0].legs,
              (QStringList{u"1 泳者0-1"_qs, u"2 泳者0-2"_qs, u"3 泳者0-3"_qs, u"4 泳者0-4"_qs}));
    EXPECT_EQ(entries[1].legs, (QStringList{u"1 泳者1-1"_qs, u"3 泳者1-3"_qs, u"4 泳者1-4"_qs}));
    EXPECT_EQ(entries[2].legs.size(), 4);
}

TEST_F(CeremonyListTest, GroupsFollowTheStack)
{
    struct Case {
        const char* name;
        QList<Printed> printed;
        QStringList headings;
        QList<int> sizes;
    };
    const QList<Case> cases{
        {"class labels change",
         {{1, 1, {}, u"1位"_qs, u"甲"_qs, {}, {}, {}, u" 9- 10才"_qs},
          {1, 2, {}, u"2位"_qs, u"乙"_qs, {}, {}, {}, u" 9- 10才"_qs},
          {2, 1, {}, u"1位"_qs, u"丙"_qs, {}, {}, {}, u" 11- 12才"_qs}},
         {u"9- 10才"_qs, u"11- 12才"_qs},
         {2, 1}},
        {"ranks begin again under one label: the ages tell the groups apart",
         {{50, 6, {}, u"1位"_qs, u"甲"_qs, {}, {}, {}, u"11- 18才"_qs, u"小6"_qs, u"12"_qs},
          {50, 2, {}, u"2位"_qs, u"乙"_qs, {}, {}, {}, u"11- 18才"_qs, u"小5"_qs, u"11"_qs},
          {51, 1, {}, u"1位"_qs, u"丙"_qs, {}, {}, {}, u"11- 18才"_qs, u"中2"_qs, u"14"_qs},
          {51, 4, {}, u"1位"_qs, u"丁"_qs, {}, {}, {}, u"11- 18才"_qs, u"中1"_qs, u"14"_qs}},
         {u"11- 18才（11〜12歳）"_qs, u"11- 18才（14歳）"_qs},
         {2, 2}},
        {"class codes: one grade per group",
         {{7, 1, {}, u"1位"_qs, u"甲"_qs, {}, u"   31.00"_qs, {}, {}, u"Ｓ１"_qs},
          {7, 2, {}, u"1位"_qs, u"乙"_qs, {}, {}, {}, {}, u"Ｓ２"_qs},
          {7, 3, {}, u"2位"_qs, u"丙"_qs, {}, {}, {}, {}, u"Ｓ２"_qs}},
         {u"Ｓ１"_qs, u"Ｓ２"_qs},
         {1, 2}},
        {"a result without a rank (参加) begins no group",
         {{29, 4, {}, u"1位"_qs, u"甲"_qs},
          {29, 3, {}, u"2位"_qs, u"乙"_qs},
          {29, 5, {}, u"   "_qs, u"丙"_qs, {}, u"参加"_qs}},
         {QString()},
         {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CeremonyEvent event = ceremonyEventOf(1, u"R001"_qs, stackOf(c.printed));
        QStringList headings;
        QList<int> sizes;
        for (const CeremonyGroup& group : event.groups) {
            headings << group.heading;
            sizes << int(group.entries.size());
        }
        EXPECT_EQ(headings, c.headings);
        EXPECT_EQ(sizes, c.sizes);
    }
}

TEST_F(CeremonyListTest, MeetNameFromTheFirstCertificateThatHasOne)
{
    QList<CeremonyCertificate> stack = stackOf({{1, 1, {}, u"1位"_qs, u"甲"_qs}});
    EXPECT_EQ(meetNameOf(stack), u"第12回テスト大会"_qs);
    stack[0].items[11].clear();
    EXPECT_EQ(meetNameOf(stack), QString());
}

} // namespace
} // namespace tarvel
