#include "ecert/ecertrecorder.h"

#include "ecert/filenames.h"
#include "ecertfixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace tarvel::testing {
namespace {

/// What the run tells of one certificate composed.
void accept(RunObserver& observer, int eventRace, const ECertificate& c)
{
    observer.certificateAccepted(
        AcceptedCertificate{c.heat, c.lane, c.leg, c.items, eventRace, {}, 1});
}

QStringList pdfsUnder(const QString& root)
{
    QStringList files;
    for (const QString& folder : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString& file : QDir(root + u'/' + folder).entryList({u"*.pdf"_qs}))
            files.append(folder + u'/' + file);
    }
    files.sort();
    return files;
}

TEST(ECertRecorderTest, EachEventIsMadeOnceItsDocumentWasDelivered)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u"/e-certificates"_qs;
    ECertificateRecorder recorder(
        {root, lineLayout(), QString(), QString(), u"テスト大会"_qs, QDateTime()});
    const QString title = u"R012 男子 100m自由形 決勝"_qs;
    // Composed once, then again from the start (the event began again): only the second
    // composition counts.
    recorder.eventStarted(12, title);
    accept(recorder, 12, ecertificate(11, 0, u"消える"_qs, u"  1位"_qs));
    recorder.eventStarted(12, title);
    const ECertificate first = ecertificate(11, 3, u"山田太郎"_qs, u"  1位"_qs);
    const ECertificate second = ecertificate(12, 4, u"佐藤花子"_qs, u"  2位"_qs);
    accept(recorder, 12, first);
    accept(recorder, 12, second);
    // The next event is composed while the first one's document is being delivered.
    recorder.eventStarted(14, u"R014 女子 50m背泳ぎ 決勝"_qs);
    accept(recorder, 14, ecertificate(14, 0, u"鈴木一郎"_qs, u"  1位"_qs));

    EXPECT_FALSE(
        recorder.documentDelivered({12, title, Delivery{true, u"printer"_qs, 7, 2}}).valid())
        << "the run never waits for the e-certificates";
    ECertificateAccount account = recorder.finish();
    EXPECT_EQ(account.written, 2);
    EXPECT_FALSE(account.failure);
    EXPECT_EQ(pdfsUnder(root), planFileNames({first, second}));

    recorder.documentDelivered({14, QString(), Delivery{true, u"printer"_qs, 8, 1}});
    account = recorder.finish();
    EXPECT_EQ(account.written, 3);
    EXPECT_EQ(pdfsUnder(root).size(), 3);
    EXPECT_EQ(pdfsUnder(root).filter(u"R014_女子50m背泳ぎ決勝_1位_鈴木一郎"_qs).size(), 1);
}

TEST(ECertRecorderTest, AFailureIsKeptOnceAndNeverReachesTheRun)
{
    QTemporaryDir dir;
    ECertificateRecorder recorder({dir.path() + u"/e-certificates"_qs, lineLayout(), QString(),
                                   dir.path() + u"/missing.pdf"_qs, u"テスト大会"_qs, QDateTime()});
    for (const int race : {12, 14}) {
        recorder.eventStarted(race, u"R0%1"_qs.arg(race));
        accept(recorder, race, ecertificate(race, 0, u"山田太郎"_qs, u"  1位"_qs));
        EXPECT_NO_THROW(
            recorder.documentDelivered({race, QString(), Delivery{true, QString(), 0, 1}}));
    }
    const ECertificateAccount account = recorder.finish();
    EXPECT_EQ(account.written, 0);
    EXPECT_EQ(account.eventsFailed, 2);
    ASSERT_TRUE(account.failure);
    EXPECT_TRUE(account.failure->message().contains(u"missing.pdf"_qs))
        << account.failure->message().toStdString();
}

} // namespace
} // namespace tarvel::testing
