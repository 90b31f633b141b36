#pragma once
/// Sending award ceremony lists: each event's right after its certificates were delivered,
/// or the lists of printed events from the ledger, to the lists' own destination.

#include "ceremony/ceremonydestination.h"
#include "ceremony/ceremonylist.h"
#include "ledger/ledger.h"
#include "platform/qt/printtarget.h"
#include "platform/serialworker.h"
#include "printrun/runobserver.h"
#include "printrun/runoutcome.h"

#include <QHash>

#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <optional>

namespace tarvel {

/// Opens the lists' destination: a printer of their own or a PDF folder. May throw
/// tarvel::Failure.
using CeremonyTargetOpener = std::function<PrintTarget(const CeremonyDestination&)>;
/// The lists' destination, its lists written plain in faces read into `faces` (never null).
PrintTarget openCeremonyTarget(const CeremonyDestination& destination,
                               std::shared_ptr<TrueTypeFaces> faces);
/// Opens the lists' destinations of one desk: they all share the faces read for them.
CeremonyTargetOpener ceremonyTargetOpener();

/// Called for each list that went, or failed to go, as the ledger records it.
using CeremonyRecorder = std::function<void(LedgerDocument)>;

/// Observes a print run beside the ledger's recorder: keeps each event's certificates as they
/// are composed and, once the event's document was delivered, hands the event's list to a
/// thread of the sender's own, which draws and delivers it while the run composes the next
/// event. Whatever becomes of a list (its destination refuses it, cannot be opened, a page
/// cannot be drawn) is kept for the account and recorded in the ledger as a list, failed or
/// delivered; it never reaches the run, so certificates and marks go on as without lists.
/// The observer's calls come on the run's thread; the destination is used on the sender's
/// thread only.
class CeremonySender final : public RunObserver {
public:
    CeremonySender(CeremonyDestination destination, CeremonyTargetOpener open,
                   CeremonyRecorder record);
    /// Waits for the lists given.
    ~CeremonySender() override;

    void eventStarted(int raceNo, const QString& title) override;
    void certificateAccepted(const AcceptedCertificate& certificate) override;
    std::shared_future<void> documentDelivered(const DeliveredDocument& document) override;

    /// Draws `list` as one document and delivers it, on the sender's thread; returns at once.
    void send(CeremonyList list);
    /// Waits for every list given; returns what became of each, in order.
    QList<SideDocument> finish();
    /// 中止, from any thread: a wait on the destination ends at once, and the lists given
    /// and not yet sent fail without being sent; each is recorded failed, to be sent again.
    void stop() noexcept;

private:
    /// On the sender's thread.
    void deliver(const CeremonyList& list);
    /// Ends a wait on the destination, from any thread.
    void cancelTarget() noexcept;

    CeremonyDestination destination_;
    CeremonyTargetOpener open_;
    CeremonyRecorder record_;
    std::atomic<bool> stopped_{false};
    std::mutex targetMutex_;            ///< guards target_ against stop()
    std::optional<PrintTarget> target_; ///< opened and used on the sender's thread
    QHash<int, QList<CeremonyCertificate>> composed_;
    std::mutex mutex_;
    QList<SideDocument> done_; ///< guarded by mutex_
    std::future<void> last_;
    SerialWorker<void> worker_; ///< last: it goes first, finishing the lists given
};

/// The list of the events whose last heats are `races` (every event with certificates in the
/// ledger when empty), in race order, from the latest copies of their certificates as
/// printed. Events without certificates are left out.
CeremonyList ceremonyListFromLedger(Ledger& ledger, QList<int> races);

} // namespace tarvel
