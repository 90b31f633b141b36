// The board's ceremony lines: for every event the desk printed, the same lines as its printed
// ceremony list, from the latest copies in the ledger; a relay team once, its legs beneath.
#include "sampledesk.h"
#include "web/board.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tarvel::web {
namespace {

/// The lines an event's certificates make, each as one text: a swimmer's, or a relay team's
/// once with its swimmers ("1 name") after it.
QStringList expectedLines(const QList<LedgerEntry>& certificates)
{
    QStringList lines;
    const LedgerCertificate* team = nullptr;
    for (const LedgerEntry& entry : certificates) {
        const LedgerCertificate& c = entry.certificate;
        const ItemTexts& items = c.items;
        const bool sameTeam = team && c.leg && team->heat == c.heat && team->lane == c.lane;
        if (!sameTeam) {
            const QString name = c.leg ? QString() : items[kItemName];
            QStringList fields{items[kItemRank],        name,
                               items[kItemAffiliation], items[kItemPrefecture],
                               items[kItemResult],      items[kItemRemark]};
            for (QString& field : fields)
                field = field.trimmed();
            lines << fields.join(u'|');
            team = c.leg ? &c : nullptr;
        }
        if (c.leg && !items[kItemName].trimmed().isEmpty())
            lines.last() += u"|%1 %2"_qs.arg(*c.leg + 1).arg(items[kItemName].trimmed());
    }
    return lines;
}

QStringList servedLines(const QJsonObject& event)
{
    QStringList lines;
    for (const QJsonValue& group : event[u"groups"_qs].toArray()) {
        for (const QJsonValue& value : group[u"entries"_qs].toArray()) {
            const QJsonObject entry = value.toObject();
            QStringList fields;
            for (const char16_t* key :
                 {u"rank", u"name", u"affiliation", u"prefecture", u"result", u"mark"})
                fields << entry[QString::fromUtf16(key)].toString();
            for (const QJsonValue& leg : entry[u"legs"_qs].toArray())
                fields << leg.toString();
            lines << fields.join(u'|');
        }
    }
    return lines;
}

TEST(BoardListsTest, EachPrintedEventServesItsCeremonyLines)
{
    testing::SampleMeetDesk sample;
    Desk& desk = sample.desk();
    const RunOutcome outcome = sample.printReadyRaces();
    ASSERT_FALSE(outcome.failure) << outcome.failure->message().toStdString();

    Board board(desk.session(), {});
    board.poll();
    board.settle();
    const QJsonArray events =
        QJsonDocument::fromJson(board.json()).object()[u"events"_qs].toArray();
    Ledger ledger(desk.session().where);
    int printed = 0;
    int relays = 0;
    for (const QJsonValue& value : events) {
        const QJsonObject event = value.toObject();
        const int race = event[u"race"_qs].toInt();
        SCOPED_TRACE(event[u"title"_qs].toString().toStdString());
        QList<LedgerEntry> certificates = ledger.entriesOfRace(race, std::nullopt, std::nullopt);
        if (certificates.isEmpty()) {
            EXPECT_FALSE(board.eventJson(race));
            continue;
        }
        ++printed;
        EXPECT_EQ(event[u"state"_qs].toString(), u"printed"_qs);
        EXPECT_EQ(event[u"list"_qs].toInteger(), certificates.first().documentId);
        const std::optional<QByteArray> json = board.eventJson(race);
        ASSERT_TRUE(json);
        const QJsonObject list = QJsonDocument::fromJson(*json).object();
        EXPECT_EQ(list[u"title"_qs].toString(), event[u"title"_qs].toString());
        const QStringList expected = expectedLines(certificates);
        EXPECT_EQ(servedLines(list), expected);
        if (certificates.first().certificate.leg)
            ++relays;
    }
    EXPECT_EQ(printed, outcome.summary.eventsPrinted);
    EXPECT_GT(relays, 0);
}

} // namespace
} // namespace tarvel::web
