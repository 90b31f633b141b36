#pragma once
/// The window's side of automatic printing: the switch 自動印刷, the state line beside it,
/// and what the automatic runs tell.

#include "desk/desk.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>

class QButtonGroup;

namespace tarvel::ui {

class DeskStrip;

enum class RunGoing { No, Yes };

/// What automatic printing needs of the window.
struct AutoPrintLinks {
    /// The request of every automatic run as the controls hold it now.
    std::function<RunRequest()> watchRequest;
    /// A run begins or has ended: the window's print buttons follow.
    std::function<void(RunGoing going)> runGoing;
};

/// Off when the window opens. Switched on, the desk watches Race.dat and prints each event
/// once its last heat is ready, under 同時 only: 随時 is refused while watching, as is
/// switching on under 随時. Trouble is told in a message that does not wait for an answer,
/// once for the same trouble, and taken away when a later run goes well; the data folder
/// out of reach, once when it lasts and once when it is back. Closing the window during an
/// automatic run waits for the event in hand.
class AutoPrintDesk final : public QObject {
    Q_OBJECT
public:
    AutoPrintDesk(QWidget& window, Desk& desk, DeskStrip& strip, QButtonGroup& condition,
                  AutoPrintLinks links);
    ~AutoPrintDesk() override;

    /// The watcher as last told.
    const WatchSnapshot& watch() const { return watch_; }
    /// The last message shown (for tests); null when none is open.
    QMessageBox* lastMessage() const { return message_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Trouble { No, Yes };

    void switchToggled(bool on);
    void conditionChosen(int id);
    void runFinished(const RunOutcome& run, News news);
    void showState();
    void tell(Trouble trouble, const QString& text);

    QWidget& window_;
    Desk& desk_;
    DeskStrip& strip_;
    QButtonGroup& condition_;
    AutoPrintLinks links_;
    WatchSnapshot watch_;
    QPointer<QMessageBox> message_;
    /// The last run's account, shown on hovering over the state line.
    QStringList lastAccount_;
    bool closeWanted_ = false;
};

} // namespace tarvel::ui
