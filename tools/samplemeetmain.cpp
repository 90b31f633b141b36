// tarvel-sample-meet DIR: writes the demo's sample meet into DIR (DIR/work is where the
// program is started).

#include "platform/failure.h"
#include "samplemeet.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2 || arguments[1].startsWith(u'-')) {
        std::fputs("usage: tarvel-sample-meet DIR\n"
                   "Writes a sample meet into DIR; start the program in DIR/work.\n",
                   stderr);
        return 2;
    }
    const QString root = QDir(arguments[1]).absolutePath();
    try {
        tarvel::sample::MeetBuilder builder(root);
        const tarvel::sample::SampleMeetSummary summary = tarvel::sample::writeSampleMeet(builder);
        std::printf("sample meet in %s: %d races, %d events, %d swimmers, %d relay teams\n",
                    qPrintable(QDir::toNativeSeparators(root)), summary.races, summary.events,
                    summary.swimmers, summary.relayTeams);
    } catch (const tarvel::Failure& failure) {
        std::fprintf(stderr, "tarvel-sample-meet: %s\n", failure.what());
        return 1;
    }
    return 0;
}
