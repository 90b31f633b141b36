#include "web/boardfacts.h"

#include "meetdb/meetfiles.h"
#include "naming/eventtitle.h"
#include "naming/racerecord.h"
#include "platform/failure.h"
#include "platform/words.h"
#include "printrun/eventcertificates.h"
#include "printrun/printrun.h"

#include <algorithm>

namespace tarvel::web {

QList<MeetEvent> readMeetEvents(const Session& session, QStringList& troubles)
{
    requireMeetFile(session.where, MeetFile::Races); // missing: say so, not an empty board
    QList<MeetEvent> events;
    const int races = raceCount(session.where);
    for (int raceNo = 1; raceNo <= races; ++raceNo) {
        const RaceRecord race = loadRace(session.where, raceNo);
        if (race.heatCount < 1 || !race.isLastHeat())
            continue;
        const int first = raceNo - race.heatCount + 1;
        if (first < 1)
            continue; // a damaged record: the run will say so, the board leaves it out
        QString title;
        try {
            title = eventDocumentTitle(session, raceNo, race);
        } catch (const Failure& failure) {
            title = raceLabel(raceNo);
            if (!troubles.contains(failure.message()))
                troubles << failure.message();
        }
        events.append({first, raceNo, title});
    }
    return events;
}

namespace {

bool carriesCertificates(DocumentKind kind)
{
    return kind == DocumentKind::Certificates || kind == DocumentKind::Reprint;
}

} // namespace

void LedgerFacts::update(Ledger& ledger)
{
    // Oldest first, so that a later document of an event replaces an earlier one. Only new
    // documents are asked for their events, all in one read; states may change on any.
    QList<LedgerDocumentEntry> documents = ledger.documents();
    std::reverse(documents.begin(), documents.end());
    std::optional<qint64> firstNew;
    for (const LedgerDocumentEntry& entry : std::as_const(documents)) {
        if (carriesCertificates(entry.document.kind) && !known_.contains(entry.id)) {
            firstNew = entry.id;
            break;
        }
    }
    if (firstNew) {
        const QHash<qint64, QList<int>> races = ledger.racesOfDocuments(*firstNew);
        for (const LedgerDocumentEntry& entry : std::as_const(documents)) {
            if (carriesCertificates(entry.document.kind) && !known_.contains(entry.id))
                known_.insert(entry.id,
                              {races.value(entry.id),
                               entry.document.printedAt.toLocalTime().toString(u"hh:mm"_qs)});
        }
    }
    QHash<int, Delivered> latest;
    for (const LedgerDocumentEntry& entry : std::as_const(documents)) {
        const auto known = known_.constFind(entry.id);
        if (!carriesCertificates(entry.document.kind) || known == known_.constEnd())
            continue;
        for (int race : known->races)
            latest.insert(race,
                          {entry.id, entry.document.printedAt, known->time, entry.document.state});
    }
    latest_ = std::move(latest);
}

bool isHeatDone(char status)
{
    return qualifies(status, PrintCondition::Anytime);
}

namespace {

bool allHeatsDone(const MeetEvent& event, const RaceStatus& status)
{
    for (int race = event.firstHeat; race <= event.lastHeat; ++race)
        if (race < 1 || race > kRaceCount || !isHeatDone(status.of(race)))
            return false;
    return true;
}

} // namespace

BoardEvent boardEventOf(const MeetEvent& event, const RaceStatus& status,
                        const QHash<int, Delivered>& delivered, const RunFacts& run)
{
    BoardEvent line;
    line.raceNo = event.lastHeat;
    line.title = event.title;
    const auto latest = delivered.constFind(event.lastHeat);
    const bool hasDelivery = latest != delivered.constEnd();
    const auto deliveredSince = [&](const QDateTime& since) {
        // The ledger keeps whole seconds.
        return hasDelivery && latest->at >= since.addMSecs(-since.time().msec());
    };
    if ((!run.inHand.isEmpty() && run.inHand == event.title && !deliveredSince(run.inHandSince))
        || (run.watchInHand == event.lastHeat && !deliveredSince(run.watchInHandSince))) {
        line.state = BoardState::Printing;
        return line;
    }
    const auto trouble = run.unprinted.constFind(event.lastHeat);
    if (trouble != run.unprinted.constEnd() && (!hasDelivery || latest->at < trouble->at)) {
        line.state = BoardState::Failed;
        line.why = trouble->why;
        return line;
    }
    if (hasDelivery && isFailed(latest->state)) {
        line.state = BoardState::Failed;
        line.why =
            latest->state == JobState::Aborted ? Words::tr("aborted") : Words::tr("canceled");
        return line;
    }
    if (hasDelivery) {
        line.state = BoardState::Printed;
        line.printedAt = latest->time;
        line.documentId = latest->documentId;
        return line;
    }
    if (!allHeatsDone(event, status)) {
        line.state = BoardState::Incomplete;
        return line;
    }
    // Marked "9" without a delivery in the ledger: dealt with by another program.
    line.state =
        status.of(event.lastHeat) == kRacePrinted ? BoardState::Printed : BoardState::Ready;
    return line;
}

} // namespace tarvel::web
