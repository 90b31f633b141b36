// E-certificates made from the ledger when some of their files cannot be written.
#include "ecert/filenames.h"
#include "ecert/ledgermaker.h"
#include "ecertfixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace tarvel::testing {
namespace {

LedgerCertificate certificate(int raceNo, int lane, const QString& name, const QString& affiliation)
{
    const ECertificate c =
        ecertificate(raceNo, lane, name, u"  %1位"_qs.arg(lane + 1), affiliation);
    LedgerCertificate recorded;
    recorded.raceNo = raceNo;
    recorded.heat = raceNo;
    recorded.lane = lane;
    recorded.items = c.items;
    recorded.eventTitle = u"R%1 男子 100m自由形 決勝"_qs.arg(raceNo, 3, 10, QChar(u'0'));
    return recorded;
}

QStringList filesUnder(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

TEST(LedgerMakerTest, WhatWasWrittenIsRecordedWhenOtherFilesCannotBe)
{
    // The blocked affiliation's folder is taken by a plain file (it cannot be written as
    // root either); its certificates come first, in the middle or last.
    const QString open = u"青空ＳＣ"_qs;
    const QString blocked = u"海辺ＳＣ"_qs;
    const struct {
        const char* name;
        QList<QList<LedgerCertificate>> documents;
        int written;
    } cases[] = {
        {"a later event's folder",
         {{certificate(12, 0, u"山田"_qs, open), certificate(12, 1, u"佐藤"_qs, open)},
          {certificate(14, 0, u"鈴木"_qs, blocked)}},
         2},
        {"the first event's folder",
         {{certificate(12, 0, u"山田"_qs, blocked)}, {certificate(14, 0, u"鈴木"_qs, open)}},
         1},
        {"within one event",
         {{certificate(12, 0, u"山田"_qs, open), certificate(12, 1, u"佐藤"_qs, blocked),
           certificate(12, 2, u"田中"_qs, open)}},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString root = dir.path() + u"/e-certificates"_qs;
        ASSERT_TRUE(QDir().mkpath(root));
        const QString plug = root + u'/' + blocked;
        ASSERT_TRUE(QFile(plug).open(QIODevice::WriteOnly));
        Ledger ledger(dir.path() + u"/ledger.db"_qs);
        int certificates = 0;
        for (const QList<LedgerCertificate>& certs : c.documents) {
            LedgerDocument document;
            document.printedAt = QDateTime::currentDateTime();
            document.title = certs.front().eventTitle;
            document.destination = u"printer"_qs;
            ledger.record(document, certs, u"s"_qs);
            certificates += int(certs.size());
        }

        ECertificateOrder order;
        order.zip = true;
        const ECertificatesMade made = makeECertificates(
            ledger, {root, lineLayout(), QString(), QString(), u"テスト大会"_qs, QDateTime()},
            order, u"test"_qs);

        EXPECT_EQ(made.written, c.written);
        EXPECT_EQ(made.failed, certificates - c.written);
        ASSERT_TRUE(made.failure);
        EXPECT_TRUE(made.failure->message().contains(plug)) << qPrintable(made.failure->message());
        EXPECT_FALSE(made.ledgerFailure);
        EXPECT_TRUE(made.zips.isEmpty()) << "a ZIP would lack files";
        // Exactly the files on disk are recorded; nothing half written is left, and the
        // plain file in the way is untouched.
        QStringList onDisk = filesUnder(root);
        EXPECT_TRUE(onDisk.removeOne(blocked));
        EXPECT_EQ(onDisk.size(), c.written) << qPrintable(onDisk.join(u'\n'));
        EXPECT_EQ(onDisk.filter(u".part"_qs), QStringList());
        QStringList recorded;
        for (const LedgerDocumentEntry& d : ledger.documents()) {
            if (d.document.kind == DocumentKind::ECertificates)
                recorded.append(QDir(root).relativeFilePath(d.document.destination));
        }
        recorded.sort();
        EXPECT_EQ(recorded, onDisk);
        EXPECT_EQ(QFileInfo(plug).size(), 0);
    }
}

} // namespace
} // namespace tarvel::testing
