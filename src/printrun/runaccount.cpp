#include "printrun/runaccount.h"

#include <QCoreApplication>

namespace tarvel {

namespace {

/// "  R012 ..., R013 ..." for at most `listed` events, then how many more.
QStringList eventLines(const QList<EventRef>& events, int listed)
{
    QStringList lines;
    for (qsizetype i = 0; i < events.size() && i < listed; ++i)
        lines << u"  "_qs + events[i].title;
    if (events.size() > listed)
        lines << u"  ... and %1 more"_qs.arg(events.size() - listed);
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
            ? QCoreApplication::translate("tarvel", "Race %1, lane %2, leg %3")
                  .arg(certificate.raceNo)
                  .arg(certificate.lane + 1)
                  .arg(*certificate.leg + 1)
            : QCoreApplication::translate("tarvel", "Race %1, lane %2")
                  .arg(certificate.raceNo)
                  .arg(certificate.lane + 1);
    return QCoreApplication::translate("tarvel", "%1, %2: no installed face can draw it")
        .arg(where, items.join(u", "_qs));
}

QStringList describeRun(const RunSummary& summary, PreviewOnly previewOnly, int listed)
{
    if (summary.racesReady == 0)
        return {u"No race was ready for certificates."_qs};

    QStringList lines;
    if (previewOnly == PreviewOnly::Yes) {
        lines << u"%1 race(s) ready: %2 event(s) previewed, %3 certificate(s); nothing "
                 u"printed, nothing marked."_qs.arg(summary.racesReady)
                     .arg(summary.eventsPrinted)
                     .arg(summary.certificates);
    } else {
        lines << u"%1 race(s) ready: %2 event(s) printed, %3 certificate(s) on %4 page(s); "
                 u"%5 race(s) marked as printed."_qs.arg(summary.racesReady)
                     .arg(summary.eventsPrinted)
                     .arg(summary.certificates)
                     .arg(summary.pages)
                     .arg(summary.racesMarked);
    }
    if (!summary.unprinted.isEmpty()) {
        lines << u"Left unprinted, their races not marked:"_qs;
        for (qsizetype i = 0; i < summary.unprinted.size() && i < listed; ++i) {
            const UnprintedEvent& event = summary.unprinted[i];
            lines << u"  %1: %2"_qs.arg(event.event.title, event.why);
        }
        if (summary.unprinted.size() > listed)
            lines << u"  ... and %1 more"_qs.arg(summary.unprinted.size() - listed);
    }
    if (!summary.excluded.isEmpty())
        lines << u"Left out by the distance, stroke, round or sex chosen:"_qs
              << eventLines(summary.excluded, listed);
    if (!summary.noneWithinLimits.isEmpty())
        lines << u"Finishers but no certificate within the rank limits or number prefix:"_qs
              << eventLines(summary.noneWithinLimits, listed);
    return lines;
}

} // namespace tarvel
