#pragma once
/// The window's side of the certificate ledger: what became of the print jobs, the history
/// dialog, printing again, and a ledger that cannot be written.

#include "desk/desk.h"
#include "platform/serialworker.h"

#include <QObject>

namespace tarvel::ui {

class DeskStrip;
class HistoryDialog;

/// Lives as long as the window. A job the desk learns ended canceled or aborted is shown on
/// the strip with a way to print it again; an open history reads the ledger again when
/// states changed. A ledger that cannot be written is told when it begins and when it is
/// over; printing goes on and the certificates wait in memory meanwhile. An award list that
/// a run could not deliver is shown on the strip likewise, 再印刷 sending it again.
class LedgerDesk final : public QObject {
    Q_OBJECT
public:
    LedgerDesk(QWidget& window, Desk& desk, DeskStrip& strip);
    /// 印刷履歴.
    void openHistory();
    /// 再印刷 on the strip: the last failed job's certificates, as one document per event, or
    /// the award list that failed.
    void reprintFailed();

Q_SIGNALS:
    /// A poll's outcome has been shown.
    void jobsPolled();
    /// E-certificates asked for in the history were made, or failed; the message is shown.
    void eCertificatesTold();

private:
    void showPoll(const JobPoll& outcome);
    void showFailedList(const RunOutcome& outcome);
    void tellLedger(const std::optional<Failure>& trouble);
    void reprint(const QList<LedgerEntry>& entries);
    /// The award lists of the events (every event printed when empty), to their destination.
    void printLists(const QList<int>& races);
    /// The e-certificates of the rows chosen (all when none), and their ZIPs, made on the
    /// worker; told when done.
    void makeECertificates(const QList<LedgerEntry>& chosen, bool zip);
    void tellECertificates(const QString& text, bool failed);

    QWidget& window_;
    Desk& desk_;
    DeskStrip& strip_;
    HistoryDialog* history_ = nullptr; ///< while open
    std::optional<OpenJob> failed_;
    /// The events of the last award list not delivered, while the strip shows it.
    std::optional<QList<int>> failedList_;
    /// Writes e-certificates off the GUI thread; last: it goes first, finishing its task.
    SerialWorker<void> eCertificateWorker_;
};

} // namespace tarvel::ui
