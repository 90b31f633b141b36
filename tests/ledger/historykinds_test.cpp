// Documents of every kind in the history: those without certificates (award lists, test
// pages) have rows of their own among the certificates, by time, each saying its kind.
#include "ledger/historyexport.h"
#include "ledger/ledger.h"
#include "platform/words.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvel::testing {
namespace {

TEST(HistoryKindsTest, DocumentsWithoutCertificatesTakeTheirPlaceByTime)
{
    QTemporaryDir dir;
    Ledger ledger(dir.path() + u"/tarvel-ledger.db"_qs);
    const auto at = [](int minute) { return QDateTime(QDate(2026, 12, 9), QTime(10, minute)); };
    LedgerCertificate swimmer;
    swimmer.raceNo = 12;
    swimmer.heat = 12;
    swimmer.items[4] = u"青空　一郎"_qs;
    struct Recorded {
        int minute;
        DocumentKind kind;
        JobState state;
        bool withCertificate;
    };
    const Recorded recorded[] = {
        {1, DocumentKind::Certificates, JobState::Written, true},
        {2, DocumentKind::CeremonyList, JobState::Written, false},
        {3, DocumentKind::TestPage, JobState::Completed, false},
        {4, DocumentKind::CeremonyList, JobState::Aborted, false},
        {5, DocumentKind::Reprint, JobState::Written, true},
    };
    for (const Recorded& r : recorded) {
        LedgerDocument document{at(r.minute), u"R012 %1"_qs.arg(r.minute), u"lists"_qs, 0, r.state,
                                r.kind};
        ledger.record(document, r.withCertificate ? QList{swimmer} : QList<LedgerCertificate>(),
                      u"desk"_qs);
    }

    const QList<QStringList> rows = historyRows(ledger.entries(), ledger.documents());
    const qsizetype kind = historyHeader().size() - 1;
    const qsizetype state = historyHeader().indexOf(Words::tr("State"));
    QStringList kinds;
    for (const QStringList& row : rows) {
        ASSERT_EQ(row.size(), historyHeader().size());
        kinds << row[kind] + u'/' + row[state];
    }
    EXPECT_EQ(
        kinds,
        (QStringList{
            documentKindText(DocumentKind::Reprint) + u'/' + jobStateText(JobState::Written),
            documentKindText(DocumentKind::CeremonyList) + u'/' + jobStateText(JobState::Aborted),
            documentKindText(DocumentKind::TestPage) + u'/' + jobStateText(JobState::Completed),
            documentKindText(DocumentKind::CeremonyList) + u'/' + jobStateText(JobState::Written),
            documentKindText(DocumentKind::Certificates) + u'/' + jobStateText(JobState::Written),
        }));
    // A list's row names it where a certificate's names its event; no swimmer.
    EXPECT_TRUE(historyLine(rows[1]).contains(u"R012 4"_qs));
    EXPECT_FALSE(historyLine(rows[1]).contains(u"青空"_qs));
    const QString csv = QString::fromUtf8(historyCsv(rows).mid(3));
    EXPECT_EQ(csv.count(u"\r\n"_qs), 6);
}

} // namespace
} // namespace tarvel::testing
