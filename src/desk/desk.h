#pragma once
/// One open meet's desk: the session, the print target, the one printer claim, the ledger's
/// recorder and job watch, and the watcher. Every front end (the window, tarvel-batch) turns
/// its controls or options into a RunRequest and shows the RunOutcome; none makes a run.

#include "desk/ceremonysender.h"
#include "desk/previewrelay.h"
#include "desk/printerclaim.h"
#include "desk/runrequest.h"
#include "desk/runtap.h"
#include "desk/stoprelay.h"
#include "ledger/jobpoller.h"
#include "ledger/ledgerrecorder.h"
#include "platform/qt/printernotice.h"
#include "platform/qt/printtarget.h"
#include "platform/serialworker.h"
#include "watcher/autoprinter.h"

#include <QObject>
#include <QThread>
#include <QTime>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

namespace tarvel {

/// What the desk uses of the system; tests put recording devices and fake schedulers in.
/// The machine's default printer; PDF files in the data folder's "certificates" when it has
/// no print system at all. Asks the scheduler nothing (see openDefaultPrintTarget).
PrintTarget openMeetPrintTarget(const DataLocations& where);

struct DeskServices {
    std::function<PrintTarget(const DataLocations&)> openTarget = openMeetPrintTarget;
    /// The award lists' own destination, opened for each run that sends lists.
    CeremonyTargetOpener openCeremonyTarget = ceremonyTargetOpener();
    /// The scheduler's answer for a job of the ledger (called on the job watch's thread);
    /// empty: the print scheduler's, over a connection of its own.
    JobWatch::StateQuery jobState;
    /// Between two questions after the ledger's pending jobs, and two tries of what the
    /// ledger could not take yet.
    std::chrono::milliseconds jobPollInterval{3000};
    AutoPrinter::Timing watchTiming;
};

/// The watcher as the front end shows it.
struct WatchSnapshot {
    AutoPrinter::State state = AutoPrinter::State::Off;
    /// The last heat of the event being printed; 0 while none is.
    int eventInHand = 0;
    /// When Race.dat was last read.
    QTime lastCheck;
    /// Races passed over for now (what a run left ready, tried again in a minute).
    QSet<int> heldBack;
};

/// Lives on the thread that made it (the GUI thread of the window), whose event loop
/// carries its signals. Runs go on a thread of their own, automatic runs on the watcher's
/// thread; the job watch on a third. At most one run prints at a time (the claim).
class Desk final : public QObject {
    Q_OBJECT
public:
    /// Opens the print target for the session's data folder; jobs are watched when it is a
    /// printer.
    explicit Desk(Session session, DeskServices services = {}, QObject* parent = nullptr);
    /// Ends watching, asks a run going to stop after the event in hand and waits for it.
    ~Desk() override;

    /// The front end's session: its layout and texts as the operator edits them. Only on
    /// the desk's thread; a run works on the copy its request carries.
    Session& session() { return session_; }
    const Session& session() const { return session_; }
    PrintTargetKind targetKind() const { return target_.kind; }
    /// The printer's name (empty until the default destination is looked up), or the
    /// folder of the PDF files. Any thread.
    QString targetWhere() const
    {
        if (target_.kind != PrintTargetKind::Printer)
            return target_.where;
        const QString known = target_.printerName();
        return known.isEmpty() ? lookedUp_ : known;
    }
    /// 印刷先 as the operator reads it: "プリンター: name" or "PDF: folder".
    QString targetDescription() const;
    /// The face certificates are printed in, from the next run on.
    void setFontFace(const QString& face) { fontFace_ = face; }
    const QString& fontFace() const { return fontFace_; }
    /// Where award lists go from the next request on (newRequest fills it in); Off for none.
    void setCeremonyList(CeremonyDestination destination)
    {
        ceremonyList_ = std::move(destination);
    }
    const CeremonyDestination& ceremonyList() const { return ceremonyList_; }
    /// Whether runs of the ready races also make e-certificates, from the next request on
    /// (newRequest fills it in).
    void setECertificates(bool on) { eCertificates_ = on; }
    bool eCertificates() const { return eCertificates_; }
    /// A request of `kind` with the session as it is now (and the award lists' destination).
    RunRequest newRequest(RunKind kind) const;

    /// Begins the run asked for and returns at once; runStarted(), runProgress(),
    /// previewReady() and runFinished() follow. Throws tarvel::Failure (Kind::Busy) when
    /// the printer is in use.
    void start(RunRequest request);
    /// The run asked for, to its end, on the run's thread; the caller waits (tarvel-batch).
    RunOutcome runAndWait(RunRequest request);
    /// Asks the run going to stop after the event in hand; a wait on the scheduler ends at
    /// once, and so does a wait of its award lists (those not sent fail, to be sent again).
    /// Also ends watching (stopping an automatic run means stopping automatic printing).
    void stop();
    bool running() const { return claim_.busy(); }
    /// Where the run going is.
    RunProgress progress() const;
    /// The latest certificate the run drew for the preview; empty when none is new.
    PreviewPicture takePreview() { return preview_.take(); }
    /// Opens the print target again (a new calibration offset); Busy while a run prints.
    void reopenTarget();
    /// The operator's choice, from the next run on: PDF files in `folder` instead of paper,
    /// or the target the desk was opened with again (the printer; PDF files in the data
    /// folder when the machine has no print system). targetKnown() follows. Busy while a
    /// run prints. Not remembered: every desk opens on its own target.
    void choosePdfFiles(const QString& folder);
    void choosePrinter();
    /// Whether the operator chose PDF files (not the lack of a print system).
    bool pdfChosen() const { return pdfChosen_.has_value(); }

    /// Automatic printing: `request` is the template of every automatic run (its heldBack
    /// set by the watcher); the front end keeps it current with setWatchRequest().
    void startWatching(RunRequest request);
    void setWatchRequest(RunRequest request);
    /// Ends watching; a run going stops after the event in hand, then watchingStopped().
    void stopWatching();
    bool watching() const { return watching_.load(); }

    /// Why the ledger cannot be written now, while it cannot.
    std::optional<Failure> ledgerTrouble() const { return recorder_->currentFailure(); }
    /// Documents delivered that wait to be written into the ledger.
    int ledgerWaiting() const { return recorder_->waitingDocuments(); }
    /// Waits for the ledger records under way.
    void finishRecording() { recorder_->finish(); }
    std::unique_ptr<Ledger> openLedger() const;
    /// Asks the scheduler after the ledger's pending jobs now (besides the poll).
    void pollJobsNow();
    /// Whether the desk follows print jobs (a printer, not PDF files).
    bool followsJobs() const { return jobs_ != nullptr; }

Q_SIGNALS:
    void runStarted(tarvel::RunKind kind, tarvel::RunOrigin origin);
    void runProgress(const tarvel::RunProgress& progress);
    /// takePreview() has a new picture.
    void previewReady();
    /// `news` says whether an automatic run's trouble was told already (the same event
    /// failing again a minute later). The session's texts of the certificate in hand are
    /// the run's last (the free texts stay the operator's).
    void runFinished(const tarvel::RunOutcome& outcome, tarvel::RunOrigin origin,
                     tarvel::News news);
    /// An automatic run saved the layout to the meet's layout file.
    void layoutSaved(const tarvel::Layout& layout);
    void watchChanged(const tarvel::WatchSnapshot& watch);
    void unreachable(const QString& why);
    void reachableAgain();
    void watchingStopped();
    /// What a poll of the pending jobs learnt (on the desk's thread).
    void jobsPolled(const tarvel::JobPoll& outcome);
    /// The default printer was looked up (its name in targetWhere()), or could not be
    /// (`trouble`), or the operator chose where certificates go: the 印刷先 line and the
    /// calibration follow.
    void targetKnown(const std::optional<tarvel::Failure>& trouble);
    /// After a run that sent jobs to a printer: its state, when it needs attention (stopped,
    /// out of paper) or could not be asked.
    void printerNeedsAttention(const tarvel::PrinterNotice& notice);
    /// The ledger cannot be written (a failure), or can again and nothing was lost (none).
    /// Emitted on the ledger's own thread: receivers without a thread of their own (a
    /// lambda) hear of it at once.
    void ledgerTroubleChanged(const std::optional<tarvel::Failure>& trouble);

private:
    RunOutcome execute(RunRequest& request, RunObserver* alsoObserving);
    void finished(const RunOutcome& outcome, const ItemTexts& lastTexts, RunOrigin origin,
                  News news);
    RunOutcome watchRun(const QSet<int>& heldBack, RunObserver& watcher);
    void tellProgress();
    void lookUpPrinter();
    /// On the run's thread, after a run that delivered documents to a printer.
    void askPrinterAfter(const RunOutcome& outcome);

    DeskServices services_;
    Session session_;
    PrintTarget target_;
    /// The folder of the PDF files the operator chose instead of paper; none: the printer.
    std::optional<QString> pdfChosen_;
    QString fontFace_;
    CeremonyDestination ceremonyList_;
    bool eCertificates_ = false;
    QString lookedUp_; ///< the default printer's name once looked up; the desk's thread
    PrinterClaim claim_;
    std::atomic<bool> stopWanted_{false};
    /// The run's side work that a stop cuts short (its award lists' waits).
    StopRelay stopRelay_;
    std::unique_ptr<LedgerRecorder> recorder_;
    std::unique_ptr<JobPoller> jobs_;
    QTimer ledgerRetry_;
    RunTap tap_;
    PreviewRelay preview_;
    std::atomic<bool> progressPending_{false};

    std::mutex watchMutex_;
    RunRequest watchRequest_;
    ItemTexts watchTexts_{};
    std::atomic<bool> watching_{false};
    QThread watchThread_;
    AutoPrinter* watcher_ = nullptr; ///< lives on watchThread_

    cups::CancelFlag lookupCancel_; ///< ends a lookup under way when the desk goes
    SerialWorker<void> lookups_;    ///< the printer's name asked of the scheduler
    SerialWorker<void> runs_;       ///< last: it goes first, finishing the run in hand
};

} // namespace tarvel

Q_DECLARE_METATYPE(tarvel::RunOutcome)
Q_DECLARE_METATYPE(tarvel::RunProgress)
Q_DECLARE_METATYPE(tarvel::WatchSnapshot)
Q_DECLARE_METATYPE(tarvel::PrinterNotice)
