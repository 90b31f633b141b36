#pragma once
/// Sending award ceremony lists: each event's right after its certificates were delivered,
/// or the lists of printed events from the ledger, to the lists' own destination.

#include "ceremony/ceremonydestination.h"
#include "ceremony/ceremonylist.h"
#include "ledger/ledger.h"
#include "platform/qt/printtarget.h"
#include "printrun/runobserver.h"
#include "printrun/runoutcome.h"

#include <QHash>

#include <functional>
#include <optional>

namespace tarvel {

/// Opens the lists' destination: a printer of their own or a PDF folder. May throw
/// tarvel::Failure.
using CeremonyTargetOpener = std::function<PrintTarget(const CeremonyDestination&)>;
PrintTarget openCeremonyTarget(const CeremonyDestination& destination);

/// Called for each list that went, or failed to go, as the ledger records it.
using CeremonyRecorder = std::function<void(LedgerDocument)>;

/// Observes a print run beside the ledger's recorder: keeps each event's certificates as they
/// are composed and, once the event's document was delivered, draws the event's list and
/// begins its delivery (a printer takes it in the background, so the run is not held up).
/// Whatever becomes of a list (its destination refuses it, cannot be opened, a page cannot
/// be drawn) is kept for the account and recorded in the ledger as a list, failed or
/// delivered; it never reaches the run, so certificates and marks go on as without lists.
/// Used on the run's thread only.
class CeremonySender final : public RunObserver {
public:
    CeremonySender(CeremonyDestination destination, CeremonyTargetOpener open,
                   CeremonyRecorder record);
    ~CeremonySender() override;

    void eventStarted(int raceNo, const QString& title) override;
    void certificateAccepted(const AcceptedCertificate& certificate) override;
    std::shared_future<void> documentDelivered(const DeliveredDocument& document) override;

    /// Draws `list` as one document and begins its delivery.
    void send(const CeremonyList& list);
    /// Waits for every list begun; returns what became of each, in order.
    QList<SideDocument> finish();

private:
    /// Takes the deliveries finished (all of them with DeliveryWait::Yes).
    void collect(DeliveryWait wait);
    void settle(SideDocument document);

    CeremonyDestination destination_;
    CeremonyTargetOpener open_;
    CeremonyRecorder record_;
    std::optional<PrintTarget> target_;
    QHash<int, QList<CeremonyCertificate>> composed_;
    /// Lists whose delivery was begun and not yet taken, oldest first.
    QList<SideDocument> underWay_;
    QList<SideDocument> done_;
};

/// The list of the events whose last heats are `races` (every event with certificates in the
/// ledger when empty), in race order, from the latest copies of their certificates as
/// printed. Events without certificates are left out.
CeremonyList ceremonyListFromLedger(Ledger& ledger, QList<int> races);

} // namespace tarvel
