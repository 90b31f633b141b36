#include "batch/ceremonycommand.h"

#include "batch/batchtools.h"
#include "batch/printcommand.h"
#include "desk/desk.h"
#include "platform/failure.h"
#include "platform/words.h"
#include "printrun/runaccount.h"

#include <algorithm>

namespace tarvel::batch {

CeremonyDestination requestedCeremonyDestination(const Request& request)
{
    if (!request.ceremonyList)
        return {};
    if (request.ceremonyDestination)
        return *request.ceremonyDestination;
    const CeremonyDestination chosen = loadCeremonyDestination();
    if (!chosen.isOn())
        throw Failure(Words::tr("sending the award lists"), QString(),
                      Words::tr("no destination is chosen for them: give --ceremony-printer or "
                                "--ceremony-pdf, or choose one in the window"));
    return chosen;
}

int printCeremonyLists(const Request& request, const Session& session)
{
    try {
        const CeremonyDestination destination = requestedCeremonyDestination(request);
        Desk desk(session, batchServices(request, Lookup::BeforeFirstDocument));
        RunRequest lists = desk.newRequest(RunKind::CeremonyList);
        lists.ceremonyList = destination;
        lists.ceremonyRaces = request.ceremonyRaces;
        const RunOutcome outcome = desk.runAndWait(std::move(lists));
        if (outcome.failure)
            throw *outcome.failure;
        sayCeremonyLists(outcome);
        sayLedgerTrouble(desk);
        return hasFailedSideDocuments(outcome) ? kFailed : kDone;
    } catch (const Failure& failure) {
        say(failure.message());
        return kFailed;
    }
}

void sayCeremonyLists(const RunOutcome& outcome, const QString& prefix)
{
    for (const QString& line : describeSideDocuments(outcome.sideDocuments))
        say(prefix + line);
    // The ledger keeps each list's lines as printed: the operator sends the lost ones again
    // from it, whatever became of the run since.
    QList<int> lost;
    for (const SideDocument& document : outcome.sideDocuments)
        if (document.failure)
            lost << document.races;
    if (lost.isEmpty())
        return;
    std::sort(lost.begin(), lost.end());
    lost.erase(std::unique(lost.begin(), lost.end()), lost.end());
    QStringList races;
    for (int race : std::as_const(lost))
        races << QString::number(race);
    say(prefix
        + Words::tr("To send the award lists not delivered again: tarvel-batch "
                    "--ceremony-list-of %1")
              .arg(races.join(u',')));
}

} // namespace tarvel::batch
