#pragma once
/// The window's side of the certificate ledger: recording each run, following its print
/// jobs, the history dialog, and printing again.

#include "desk/desk.h"

#include <QObject>

namespace tarvel::ui {

class DeskStrip;

/// Lives as long as the window. A job the desk learns ended canceled or aborted is shown on
/// the strip with a way to print it again; a ledger that cannot be written is told once, and
/// printing goes on.
class LedgerDesk final : public QObject {
    Q_OBJECT
public:
    LedgerDesk(QWidget& window, Desk& desk, DeskStrip& strip);
    /// 印刷履歴.
    void openHistory();
    /// 再印刷 on the strip: the last failed job's certificates, as one document.
    void reprintFailed();

private:
    void reprint(const QList<LedgerEntry>& entries);
    void afterRun();
    void jobsFailed(const QList<OpenJob>& jobs);

    QWidget& window_;
    Desk& desk_;
    DeskStrip& strip_;
    std::optional<OpenJob> failed_;
    bool troubleTold_ = false;
};

} // namespace tarvel::ui
