#pragma once
/// The window's side of automatic printing: the switch 自動印刷, the state line beside it,
/// the runs with a progress dialog that leaves the window usable, and what they tell.

#include "platform/previewsurface.h"
#include "platform/qt/printtarget.h"
#include "printrun/printoptions.h"
#include "printrun/session.h"
#include "watcher/autoprinter.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>

class QButtonGroup;

namespace tarvel::ui {

class DeskStrip;
class PrinterUse;

/// What the desk needs of the window.
struct AutoPrintLinks {
    /// The print options as the controls hold them when a run begins.
    std::function<PrintOptions()> printOptions;
    /// Saves the layout, as before a manual run.
    std::function<void()> saveLayout;
    /// Where the runs draw the certificates they compose.
    std::function<PreviewSurface&()> preview;
    /// A run begins (true) or has ended (false): the window's print buttons follow.
    std::function<void(bool going)> runGoing;
    /// After a run: the characters no face could draw.
    std::function<void(const QStringList& undrawable)> runEnded;
    /// Observes each run beside the progress dialog (the ledger's recorder).
    RunObserver* recorder = nullptr;
};

/// Off when the window opens. Switched on, Race.dat is watched and each event printed once
/// its last heat is ready, under 同時 only: 随時 is refused while watching, as is switching on
/// under 随時. A run works on a copy of the session, so the operator's edits meanwhile apply
/// from the next run. Trouble is told in a message that does not wait for an answer, once
/// for the same trouble; the data folder out of reach, once when it lasts and once when it
/// is back. Closing the window during a run waits for the event in hand.
class AutoPrintDesk final : public QObject {
    Q_OBJECT
public:
    AutoPrintDesk(QWidget& window, Session& session, PrintTarget& target, PrinterUse& printer,
                  DeskStrip& strip, QButtonGroup& condition, AutoPrintLinks links,
                  AutoPrinter::Timing timing = {});
    ~AutoPrintDesk() override;

    AutoPrinter& watcher() { return *watcher_; }
    /// The last message shown (for tests); null when none is open.
    QMessageBox* lastMessage() const { return message_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void switchToggled(bool on);
    void conditionChosen(int id);
    AutoRun run(const QSet<int>& heldBack, RunObserver& watching);
    void runFinished(const AutoRun& run, bool news);
    void showState();
    void tell(bool trouble, const QString& text);

    QWidget& window_;
    Session& session_;
    PrintTarget& target_;
    PrinterUse& printer_;
    DeskStrip& strip_;
    QButtonGroup& condition_;
    AutoPrintLinks links_;
    std::unique_ptr<AutoPrinter> watcher_;
    QPointer<QMessageBox> message_;
    /// The last run's account, shown on hovering over the state line.
    QStringList lastAccount_;
    PreviewOnly lastPreviewOnly_ = PreviewOnly::No;
    bool closeWanted_ = false;
};

} // namespace tarvel::ui
