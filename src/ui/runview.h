#pragma once
/// The window's side of the runs the operator starts: the progress dialog while one goes,
/// and afterwards what it did, in one message that does not hold up the window.

#include "desk/desk.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <optional>

class QWidget;

namespace tarvel::ui {

class PrintProgress;

class RunView final : public QObject {
    Q_OBJECT
public:
    RunView(QWidget& window, Desk& desk);

    /// The last message shown (for tests); null when none is open.
    QMessageBox* lastMessage() const { return message_; }
    /// The account of a run of the ready races, as the message tells it.
    static QStringList account(const RunOutcome& outcome, const Desk& desk);

Q_SIGNALS:
    /// After any run: one line per certificate with characters no face could draw.
    void undrawableFound(const QStringList& lines);

private:
    void started(RunKind kind, RunOrigin origin);
    void finished(const RunOutcome& outcome, RunOrigin origin);
    void tell(QMessageBox::Icon icon, const QString& text);

    QWidget& window_;
    Desk& desk_;
    QPointer<PrintProgress> progress_;
    QPointer<QMessageBox> message_;
    /// What the printer said after the run in hand, when it needs attention (told before
    /// the run's end).
    std::optional<PrinterNotice> notice_;
};

} // namespace tarvel::ui
