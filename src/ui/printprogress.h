#pragma once
/// The progress dialog of a print run: the race reached of the meet's own races, the event
/// in hand, the certificates so far, and a button that stops the run.

#include "desk/runtap.h"

#include <QDialog>

class QLabel;
class QProgressBar;

namespace tarvel::ui {

/// Shows what the desk tells of a run going on another thread; the GUI's event loop goes on
/// as usual (a dialog of its own: QProgressDialog would spin the event loop inside each
/// update). It appears once the run has gone on for a moment. The dialog of a run the operator
/// started is application-modal, so no input but its stop button reaches the window until the run
/// is over; that of an automatic run leaves the window to the operator and does not take the focus.
/// The stop button (and Escape) emits stopWanted() once; closing the dialog does nothing while the
/// run goes.
class PrintProgress final : public QDialog {
    Q_OBJECT
public:
    enum class Modality { Application, None };
    explicit PrintProgress(QWidget* parent, Modality modality = Modality::Application);

    void showProgress(const RunProgress& progress);

Q_SIGNALS:
    void stopWanted();

public Q_SLOTS:
    /// The stop button and Escape: the run stops after the event in hand.
    void reject() override;

protected:
    /// The close button does nothing: the dialog goes when the run is over.
    void closeEvent(QCloseEvent* event) override;

private:
    void updateLabel();

    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    RunProgress progress_;
    bool stopping_ = false;
};

} // namespace tarvel::ui
