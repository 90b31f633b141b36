// tarvel-sample-meet DIR: writes the demo's sample meet into DIR (DIR/work is where the
// program is started).

#include "platform/failure.h"
#include "samplemeet.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"tarvel-sample-meet"_qs);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(TARVEL_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Writes a sample meet into DIR; start the program in DIR/work."_qs);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(u"DIR"_qs, u"The folder to write the meet into."_qs);
    const bool parsed = parser.parse(QCoreApplication::arguments());
    if (parsed && parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parsed && parser.isSet(version)) {
        std::printf("tarvel-sample-meet %s\n", TARVEL_VERSION);
        return 0;
    }
    if (!parsed || parser.positionalArguments().size() != 1) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }
    const QString root = QDir(parser.positionalArguments().front()).absolutePath();
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
