// The other process of the full-disk test: writes the e-certificates of two events into the
// folder given, the first one certificate, the second eight, each event its own document.
// Exit status 0 when all were written, 1 with the failure on stderr.
#include "ecert/ecertwriter.h"
#include "ecertfixture.h"
#include "platform/failure.h"
#include "platform/qt/fonts.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    using namespace tarvel;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    registerFontSubstitutions();
    if (argc != 2)
        return 2;
    try {
        ECertificateWriter writer({QString::fromLocal8Bit(argv[1]), testing::lineLayout(),
                                   QString(), QString(), u"テスト大会"_qs, QDateTime()});
        if (const EventECertificates outcome =
                writer.writeEvent({testing::ecertificate(12, 0, u"山田太郎"_qs, u"  1位"_qs)});
            outcome.failure)
            throw *outcome.failure;
        QList<ECertificate> second;
        for (int lane = 0; lane < 8; ++lane) {
            ECertificate c = testing::ecertificate(14, lane, u"選手"_qs + QString::number(lane),
                                                   u"  %1位"_qs.arg(lane + 1));
            c.raceNo = 14;
            c.eventTitle = u"R014 女子 200m平泳ぎ 決勝"_qs;
            second.append(c);
        }
        const EventECertificates outcome = writer.writeEvent(second);
        if (outcome.failure)
            throw *outcome.failure;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", qPrintable(failure.message()));
        return 1;
    }
    return 0;
}
