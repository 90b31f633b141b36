#pragma once
/// The modal progress dialog a print run shows: the race reached and the certificates so far.

#include "printrun/runobserver.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QStringList>

namespace tarvel::ui {

/// Observes a run and keeps the dialog current. The dialog is application-modal and cannot
/// be cancelled or closed, so no input reaches the window until the run is over; events
/// are processed at most every few tens of milliseconds, so the run is hardly slowed.
class PrintProgress final : public QProgressDialog, public RunObserver {
    Q_OBJECT
public:
    explicit PrintProgress(QWidget* parent);

    void raceReached(int raceNo) override;
    void certificateAccepted(const AcceptedCertificate& certificate) override;

    int certificates() const { return certificates_; }
    /// One line per certificate with characters no face could draw (describeUndrawable).
    const QStringList& undrawable() const { return undrawable_; }

public Q_SLOTS:
    /// Escape does nothing while the run goes.
    void reject() override {}

protected:
    /// Nor does the close button: the dialog goes only when the run is over.
    void closeEvent(QCloseEvent* event) override;

private:
    void updateLabel(int raceNo);

    QElapsedTimer sinceRefresh_;
    int raceNo_ = 0;
    int certificates_ = 0;
    QStringList undrawable_;
};

} // namespace tarvel::ui
