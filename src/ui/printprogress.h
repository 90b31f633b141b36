#pragma once
/// The progress dialog a print run shows: the race reached of the meet's own races, the
/// event in hand, the certificates so far, and a button that stops the run.

#include "printrun/runobserver.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QStringList>

namespace tarvel::ui {

/// Observes a run and keeps the dialog current. The dialog of a run the operator started is
/// application-modal, so no input but its stop button reaches the window until the run is
/// over; that of an automatic run leaves the window to the operator and does not take the
/// focus. Events are processed at most every few tens of milliseconds, so the run is hardly
/// slowed. The stop button (and Escape) asks the run to stop after the event in hand;
/// closing the dialog does nothing while the run goes.
class PrintProgress final : public QProgressDialog, public RunObserver {
    Q_OBJECT
public:
    enum class Modality { Application, None };

    explicit PrintProgress(QWidget* parent, Modality modality = Modality::Application);

    void runStarted(int lastRace) override;
    void raceReached(int raceNo) override;
    void eventStarted(int raceNo, const QString& title) override;
    void certificateAccepted(const AcceptedCertificate& certificate) override;
    bool stopRequested() const override { return stopRequested_; }

    int certificates() const { return certificates_; }
    /// One line per certificate with characters no face could draw (describeUndrawable).
    const QStringList& undrawable() const { return undrawable_; }

public Q_SLOTS:
    /// The stop button and Escape: the run stops after the event in hand.
    void reject() override;

protected:
    /// The close button does nothing: the dialog goes when the run is over.
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh(bool now);
    void updateLabel();

    QElapsedTimer sinceRefresh_;
    int lastRace_ = 0;
    int raceNo_ = 0;
    QString event_;
    int certificates_ = 0;
    bool stopRequested_ = false;
    QStringList undrawable_;
};

} // namespace tarvel::ui
