#include "ecert/fromledger.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace tarvel::testing {
namespace {

LedgerDocument document(DocumentKind kind = DocumentKind::Certificates)
{
    LedgerDocument d;
    d.printedAt = QDateTime::currentDateTime();
    d.title = u"R012 男子 100m自由形 決勝"_qs;
    d.destination = u"printer"_qs;
    d.kind = kind;
    return d;
}

LedgerCertificate certificate(int raceNo, int heat, int lane, const QString& name)
{
    LedgerCertificate c;
    c.raceNo = raceNo;
    c.heat = heat;
    c.lane = lane;
    c.items[4] = name;
    c.eventTitle = u"R%1 決勝"_qs.arg(raceNo, 3, 10, QChar(u'0'));
    return c;
}

/// Each event as the names of its certificates.
QList<QStringList> names(const QList<QList<ECertificate>>& events)
{
    QList<QStringList> all;
    for (const QList<ECertificate>& event : events) {
        all.append(QStringList());
        for (const ECertificate& c : event)
            all.back().append(u"%1:%2"_qs.arg(c.raceNo).arg(c.items[4]));
    }
    return all;
}

TEST(FromLedgerTest, TheLatestOriginalOfEachCertificateByEvent)
{
    QTemporaryDir dir;
    Ledger ledger(dir.path() + u"/ledger.db"_qs);
    ledger.record(document(), {certificate(14, 13, 0, u"背泳"_qs)}, u"s"_qs);
    ledger.record(document(),
                  {certificate(12, 11, 3, u"旧"_qs), certificate(12, 12, 4, u"変わらず"_qs),
                   certificate(12, 12, 5, u"圏外に"_qs)},
                  u"s"_qs);
    // Corrected: the event printed again, lane 3 with new texts, lane 5 no longer within the
    // rank limit; a reprint of lane 4.
    ledger.record(document(),
                  {certificate(12, 11, 3, u"新"_qs), certificate(12, 12, 4, u"変わらず"_qs)},
                  u"s"_qs);
    LedgerCertificate again = certificate(12, 12, 4, u"変わらず"_qs);
    again.reprintOf = ledger.entries()[0].id;
    ledger.record(document(DocumentKind::Reprint), {again}, u"s"_qs);

    const QList<LedgerEntry> entries = ledger.entries();
    EXPECT_EQ(names(latestByEvent(entries)),
              (QList<QStringList>{{u"12:新"_qs, u"12:変わらず"_qs}, {u"14:背泳"_qs}}));
    EXPECT_EQ(names(latestByEvent(entries, {13})), (QList<QStringList>{{u"14:背泳"_qs}}));
    EXPECT_EQ(names(latestByEvent(entries, {12})),
              (QList<QStringList>{{u"12:新"_qs, u"12:変わらず"_qs}}));
    EXPECT_TRUE(latestByEvent(entries, {99}).isEmpty());

    const ECertificate first = latestByEvent(entries).front().front();
    EXPECT_EQ(first.heat, 11);
    EXPECT_EQ(first.lane, 3);
    EXPECT_EQ(first.eventTitle, u"R012 決勝"_qs);
}

} // namespace
} // namespace tarvel::testing
