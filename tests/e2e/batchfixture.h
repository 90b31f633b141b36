#pragma once
/// The small meet most tarvel-batch tests run on, and what they read back from a run.

#include "batchprocess.h"
#include "poppler.h"
#include "tempmeet.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarvel::testing {

using Outcome = BatchOutcome;

inline RaceRecord race(int heatNo, int heatCount, qint16 eventCode, const QString& roundCode,
                       const QList<std::pair<qint16, qint32>>& lanes)
{
    RaceRecord record;
    record.heatNo = qint16(heatNo);
    record.heatCount = qint16(heatCount);
    record.eventCode = eventCode;
    record.raceSex = u"2"_qs;
    record.roundCode = roundCode;
    record.classHigh = 100;
    for (int lane = 0; lane < lanes.size(); ++lane) {
        record.laneEntryNo[lane] = lanes[lane].first;
        record.laneResult[lane] = lanes[lane].second;
    }
    return record;
}

/// Races 1-2: a two-heat 100m free final (four finishers); race 3: a free relay (one team,
/// four legs); race 4: a heat, which the default round (finals) leaves out. All ready.
class BatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sample::MeetBuilder& builder = meet.builder();
        builder.writeLocationFile();
        MeetSettings settings;
        settings.meetName = u"終点テスト大会"_qs;
        settings.meetDate = 20240301;
        settings.venue = u"試験プール"_qs;
        settings.laneCount = 8;
        builder.writeMeetHeader(settings);
        const QStringList names = {u"青空　一郎"_qs, u"青空　二郎"_qs, u"青空　三郎"_qs,
                                   u"青空　四郎"_qs, u"青空　五郎"_qs};
        for (int n = 1; n <= names.size(); ++n) {
            builder.writeSwimmer(n, sample::MeetBuilder::swimmer(u"1100%1"_qs.arg(n), names[n - 1],
                                                                 u"静岡県"_qs, u"青空ＳＣ"_qs,
                                                                 u"31"_qs, 16, u"2"_qs));
        }
        builder.writeSwimmer(50,
                             sample::MeetBuilder::swimmer(u"11050"_qs, u"青空Ａ"_qs, u"静岡県"_qs,
                                                          u"青空ＳＣ"_qs, u"31"_qs, 16, u"2"_qs));
        builder.writeRace(1, race(1, 2, 3, u"2"_qs, {{1, 10523}, {2, 10100}}));
        builder.writeRace(2, race(2, 2, 3, u"2"_qs, {{3, 5999}, {4, 11000}}));
        RaceRecord relay = race(1, 1, 26, u"2"_qs, {{50, 20000}});
        relay.relayIndex = 3;
        builder.writeRace(3, relay);
        std::array<std::array<qint16, 12>, 4> legs{};
        for (int leg = 0; leg < 4; ++leg)
            legs[leg][0] = qint16(leg + 1);
        builder.writeRelay(3, legs);
        builder.writeRace(4, race(1, 1, 3, u"1"_qs, {{5, 5000}}));
        builder.writeRaceStatus({1, 2, 3, 4}, '8');
        pdfDir = output.path() + u"/pdf"_qs;
        logFile = output.path() + u"/run.jsonl"_qs;
    }

    QStringList arguments(const QStringList& more = {})
    {
        return QStringList{u"-C"_qs, meet.builder().workDir(), u"--pdf"_qs, pdfDir, u"--log"_qs,
                           logFile}
               + more;
    }

    QList<QJsonObject> logLines() const
    {
        QList<QJsonObject> lines;
        const QByteArray content = readFileBytes(logFile);
        for (const QByteArray& line : content.split('\n')) {
            if (line.isEmpty())
                continue;
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line, &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.constData();
            lines.append(document.object());
        }
        return lines;
    }

    QStringList pdfFiles() const
    {
        return QDir(pdfDir).entryList({u"*.pdf"_qs}, QDir::Files, QDir::Name);
    }

    QByteArray raceDat() const { return readFileBytes(meet.dataPath(u"Race.dat"_qs)); }

    TempMeet meet;
    QTemporaryDir output;
    QString pdfDir;
    QString logFile;
};

} // namespace tarvel::testing
