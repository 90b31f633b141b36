#pragma once
/// The window's side of the certificate ledger: recording each run, following its print
/// jobs, the history dialog, and printing again.

#include "ledger/jobpoller.h"
#include "ledger/ledgerrecorder.h"
#include "platform/qt/printtarget.h"
#include "printrun/session.h"

#include <QObject>
#include <QTimer>

namespace tarvel::ui {

class DeskStrip;
class PrinterUse;

/// Lives as long as the window. The recorder writes every document a run delivers; every
/// few seconds, on a worker thread, the scheduler is asked after every desk's unfinished
/// jobs, and a job that ends canceled or aborted is shown on the strip with a way to print
/// it again; an open history reads the ledger again when states changed. A ledger that
/// cannot be written is told when it begins and when it is over; printing goes on and the
/// certificates wait in memory meanwhile.
class LedgerDesk final : public QObject {
    Q_OBJECT
public:
    /// Milliseconds between two questions to the scheduler.
    static constexpr int kPollMilliseconds = 3000;

    LedgerDesk(QWidget& window, Session& session, PrintTarget& target, PrinterUse& printer,
               DeskStrip& strip);

    /// The observer that records a run's documents; give it to every print run.
    RunObserver& recorder() { return *recorder_; }
    /// After a run (and every kPollMilliseconds): what the ledger could not take yet is
    /// tried again. The ledger's trouble is told when it begins, and when it is over.
    void afterRun();
    /// Asks the scheduler now (the timer does it every kPollMilliseconds); the outcome
    /// arrives later, from the worker thread.
    void pollJobs();
    /// 印刷履歴.
    void openHistory();
    /// 再印刷 on the strip: the last failed job's certificates, as one document.
    void reprintFailed();
    /// Asks `query` (on the worker thread) instead of the print scheduler (for tests of the
    /// strip).
    void setJobStateQuery(JobWatch::StateQuery query);

Q_SIGNALS:
    /// A poll's outcome has been shown.
    void jobsPolled();

private:
    void showPoll(const JobPoll& outcome);
    void tellLedger(const std::optional<Failure>& trouble);
    void reprint(const QList<LedgerEntry>& entries);
    std::unique_ptr<Ledger> openLedger() const;

    QWidget& window_;
    Session& session_;
    PrintTarget& target_;
    PrinterUse& printer_;
    DeskStrip& strip_;
    std::unique_ptr<LedgerRecorder> recorder_;
    std::unique_ptr<JobPoller> jobs_;
    class HistoryDialog* history_ = nullptr; ///< while open
    std::optional<OpenJob> failed_;
    QTimer retry_;
};

} // namespace tarvel::ui
