#include "printrun/runaccount.h"

#include "platform/words.h"

namespace tarvel {

namespace {

/// "  R012 ..., R013 ..." for at most `listed` events, then how many more.
QStringList eventLines(const QList<EventRef>& events, int listed)
{
    QStringList lines;
    for (qsizetype i = 0; i < events.size() && i < listed; ++i)
        lines << u"  "_qs + events[i].title;
    if (events.size() > listed)
        lines << Words::tr("  ... and %1 more").arg(events.size() - listed);
    return lines;
}

} // namespace

QString describeUndrawable(const AcceptedCertificate& certificate)
{
    if (certificate.undrawable.empty())
        return {};
    QStringList items;
    for (const UndrawableCharacter& found : certificate.undrawable)
        items << u"%1 U+%2"_qs.arg(
            itemCaption(found.item),
            QString::number(uint(found.character), 16).toUpper().rightJustified(4, u'0'));
    const QString where =
        certificate.leg
            ? Words::tr("Race %1, lane %2, leg %3")
                  .arg(certificate.raceNo)
                  .arg(certificate.lane + 1)
                  .arg(*certificate.leg + 1)
            : Words::tr("Race %1, lane %2").arg(certificate.raceNo).arg(certificate.lane + 1);
    return Words::tr("%1, %2: no installed face can draw it").arg(where, items.join(u", "_qs));
}

QStringList describeRun(const RunSummary& summary, PreviewOnly previewOnly, int listed)
{
    if (summary.racesReady == 0)
        return {Words::tr("No race was ready for certificates.")};

    QStringList lines;
    if (previewOnly == PreviewOnly::Yes) {
        lines << Words::tr("%1 race(s) ready: %2 event(s) previewed, %3 certificate(s); "
                           "nothing printed, nothing marked.")
                     .arg(summary.racesReady)
                     .arg(summary.eventsPrinted)
                     .arg(summary.certificates);
    } else {
        lines << Words::tr("%1 race(s) ready: %2 event(s) printed, %3 certificate(s) on %4 "
                           "page(s); %5 race(s) marked as printed.")
                     .arg(summary.racesReady)
                     .arg(summary.eventsPrinted)
                     .arg(summary.certificates)
                     .arg(summary.pages)
                     .arg(summary.racesMarked);
    }
    if (summary.stoppedBeforeRace > 0)
        lines << Words::tr("Stopped on request before race %1: the races from there on were "
                           "not looked at.")
                     .arg(summary.stoppedBeforeRace);
    if (!summary.unprinted.isEmpty()) {
        lines << Words::tr("Left unprinted, their races not marked:");
        for (qsizetype i = 0; i < summary.unprinted.size() && i < listed; ++i) {
            const UnprintedEvent& event = summary.unprinted[i];
            lines << u"  %1: %2"_qs.arg(event.event.title, event.why);
        }
        if (summary.unprinted.size() > listed)
            lines << Words::tr("  ... and %1 more").arg(summary.unprinted.size() - listed);
    }
    if (!summary.deliveredUnmarked.isEmpty()) {
        lines << Words::tr("Delivered but not marked as printed (Race.dat could not be "
                           "written); mark these races before printing them again:");
        for (const UnmarkedEvent& event : summary.deliveredUnmarked) {
            QStringList races;
            for (int raceNo : event.races)
                races << QString::number(raceNo);
            lines << Words::tr("  %1: race(s) %2").arg(event.event.title, races.join(u", "_qs));
        }
    }
    if (!summary.excluded.isEmpty())
        lines << Words::tr("Left out by the distance, stroke, round or sex chosen:")
              << eventLines(summary.excluded, listed);
    if (!summary.noneWithinLimits.isEmpty())
        lines << Words::tr("Finishers but no certificate within the rank limits or number prefix:")
              << eventLines(summary.noneWithinLimits, listed);
    return lines;
}

QStringList describeSideDocuments(const QList<SideDocument>& documents)
{
    QStringList lines;
    for (const SideDocument& document : documents) {
        if (document.failure) {
            lines << Words::tr("%1 was not delivered: %2")
                         .arg(document.title, document.failure->message());
            continue;
        }
        lines << Words::tr("%1: %n page(s) to %2", nullptr, document.pages)
                     .arg(document.title, document.destination);
    }
    return lines;
}

} // namespace tarvel
