#include "ui/autoprintdesk.h"

#include "naming/eventtitle.h"
#include "printrun/printchoices.h"
#include "printrun/runaccount.h"
#include "ui/deskstrip.h"
#include "ui/failurereport.h"
#include "ui/runview.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {

/// optJohken's buttons.
constexpr int kSimultaneous = choiceOfCondition(PrintCondition::Simultaneous);
constexpr int kAnytime = choiceOfCondition(PrintCondition::Anytime);

} // namespace

AutoPrintDesk::AutoPrintDesk(QWidget& window, Desk& desk, DeskStrip& strip, QButtonGroup& condition,
                             AutoPrintLinks links)
    : QObject(&window)
    , window_(window)
    , desk_(desk)
    , strip_(strip)
    , condition_(condition)
    , links_(std::move(links))
{
    connect(&desk_, &Desk::watchChanged, this, [this](const WatchSnapshot& watch) {
        watch_ = watch;
        showState();
    });
    connect(&desk_, &Desk::runStarted, this, [this] { links_.runGoing(RunGoing::Yes); });
    connect(&desk_, &Desk::runFinished, this,
            [this](const RunOutcome& outcome, RunOrigin origin, News news) {
                links_.runGoing(RunGoing::No);
                if (origin == RunOrigin::Automatic)
                    runFinished(outcome, news);
            });
    connect(&desk_, &Desk::unreachable, this, [this](const QString& why) {
        tell(Trouble::Yes, tr("The data folder cannot be reached; automatic printing waits for "
                              "it and goes on by itself.")
                               + u"\n\n"_s + why);
    });
    connect(&desk_, &Desk::reachableAgain, this, [this] {
        tell(Trouble::No, tr("The data folder can be reached again; automatic printing goes on."));
    });
    connect(&desk_, &Desk::watchingStopped, this, [this] {
        watch_ = WatchSnapshot();
        strip_.autoPrintSwitch().setChecked(false);
        showState();
        if (closeWanted_)
            window_.close();
    });
    connect(&strip_.autoPrintSwitch(), &QCheckBox::toggled, this, &AutoPrintDesk::switchToggled);
    connect(&condition_, &QButtonGroup::idClicked, this, &AutoPrintDesk::conditionChosen);
    window_.installEventFilter(this);
}

AutoPrintDesk::~AutoPrintDesk()
{
    delete message_;
}

bool AutoPrintDesk::eventFilter(QObject* watched, QEvent* event)
{
    // The window goes once the event in hand is printed, never in the middle of it.
    if (watched == &window_ && event->type() == QEvent::Close
        && watch_.state == AutoPrinter::State::Printing) {
        closeWanted_ = true;
        desk_.stopWatching();
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void AutoPrintDesk::switchToggled(bool on)
{
    if (!on) {
        desk_.stopWatching();
        showState();
        return;
    }
    if (condition_.checkedId() == kAnytime) {
        strip_.autoPrintSwitch().setChecked(false);
        tell(Trouble::Yes, tr("Automatic printing works under 同時 only: under 随時 it would print "
                              "every finished race again and again. Choose 同時 first."));
        return;
    }
    desk_.startWatching(links_.watchRequest());
    showState();
}

void AutoPrintDesk::conditionChosen(int id)
{
    if (id != kAnytime || !desk_.watching())
        return;
    condition_.button(kSimultaneous)->setChecked(true);
    tell(Trouble::Yes,
         tr("随時 cannot be chosen while automatic printing is on: it would print every "
            "finished race again and again. Switch 自動印刷 off first."));
}

void AutoPrintDesk::runFinished(const RunOutcome& run, News news)
{
    lastAccount_ = RunView::account(run, desk_);
    showState();
    if (news == News::ToldAlready) {
        // The trouble told before is over: its message goes with it.
        if (!run.failure && !hasUnprintedEvents(run.summary) && message_)
            message_->close();
        return;
    }
    QStringList text = lastAccount_;
    text << QString() << tr("Automatic printing goes on; what failed is tried again in a minute.");
    tell(Trouble::Yes, text.join(u'\n'));
}

void AutoPrintDesk::showState()
{
    const QString checked =
        watch_.lastCheck.isValid() ? watch_.lastCheck.toString(u"HH:mm:ss"_s) : QString();
    QString state;
    switch (watch_.state) {
    case AutoPrinter::State::Off: break;
    case AutoPrinter::State::Watching: state = u"監視中 "_s + checked; break;
    case AutoPrinter::State::Printing:
        state = u"印刷中"_s;
        if (watch_.eventInHand > 0)
            state += u' ' + raceLabel(watch_.eventInHand);
        break;
    case AutoPrinter::State::Waiting: state = u"接続待ち "_s + checked; break;
    // The last run's account (on hovering) says which scheduler did not answer.
    case AutoPrinter::State::WaitingForPrinter: state = u"プリンタ接続待ち"_s; break;
    }
    strip_.showAutoPrintState(state.trimmed(), lastAccount_.join(u'\n'));
}

void AutoPrintDesk::tell(Trouble trouble, const QString& text)
{
    // Never waits for an answer: the watching goes on behind the message. A newer message
    // takes the place of an older one.
    delete message_;
    message_ =
        new QMessageBox(trouble == Trouble::Yes ? QMessageBox::Warning : QMessageBox::Information,
                        u"Tarvel"_s, text, QMessageBox::Ok, &window_);
    message_->setObjectName(u"autoPrintMessage"_s);
    message_->setAttribute(Qt::WA_DeleteOnClose);
    message_->setWindowModality(Qt::NonModal);
    message_->show();
}

} // namespace tarvel::ui
