#include "ui/autoprintdesk.h"

#include "naming/eventtitle.h"
#include "printrun/runaccount.h"
#include "printrun/runobservers.h"
#include "ui/deskstrip.h"
#include "ui/failurereport.h"
#include "ui/printeruse.h"
#include "ui/printprogress.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {

/// optJohken's buttons.
constexpr int kSimultaneous = 0;
constexpr int kAnytime = 1;

/// Events named in a message; the rest are counted.
constexpr int kListedEvents = 8;

/// The window's preview as it is at each call: the operator may open or close the large
/// preview while a run draws, which routes the drawings anew.
class CurrentPreview final : public PreviewSurface {
public:
    explicit CurrentPreview(const std::function<PreviewSurface&()>& preview) : preview_(preview) {}

    void beginDrawing() override { preview_().beginDrawing(); }
    void endDrawing() override { preview_().endDrawing(); }
    void setPosition(double x, double y) override { preview_().setPosition(x, y); }
    void setFontFace(const QString& face) override { preview_().setFontFace(face); }
    void setFontSize(double points) override { preview_().setFontSize(points); }
    void setMaxWidth(double width) override { preview_().setMaxWidth(width); }
    void drawText(const QString& text) override { preview_().drawText(text); }
    QList<char32_t> undrawableCharacters(const QString& text) override
    {
        return preview_().undrawableCharacters(text);
    }

private:
    const std::function<PreviewSurface&()>& preview_;
};

bool isFreeTextItem(int item)
{
    return item >= kFirstFreeTextItem && item < kFirstFreeTextItem + kFreeTextCount;
}

} // namespace

AutoPrintDesk::AutoPrintDesk(QWidget& window, Session& session, PrintTarget& target,
                             PrinterUse& printer, DeskStrip& strip, QButtonGroup& condition,
                             AutoPrintLinks links, AutoPrinter::Timing timing)
    : QObject(&window)
    , window_(window)
    , session_(session)
    , target_(target)
    , printer_(printer)
    , strip_(strip)
    , condition_(condition)
    , links_(std::move(links))
{
    watcher_ = std::make_unique<AutoPrinter>(
        session_.where,
        [this](const QSet<int>& heldBack, RunObserver& watching) {
            return run(heldBack, watching);
        },
        timing);
    connect(watcher_.get(), &AutoPrinter::changed, this, &AutoPrintDesk::showState);
    connect(watcher_.get(), &AutoPrinter::runFinished, this, &AutoPrintDesk::runFinished);
    connect(watcher_.get(), &AutoPrinter::unreachable, this, [this](const QString& why) {
        tell(true, tr("The data folder cannot be reached; automatic printing waits for it and "
                      "goes on by itself.")
                       + u"\n\n"_s + why);
    });
    connect(watcher_.get(), &AutoPrinter::reachableAgain, this, [this] {
        tell(false, tr("The data folder can be reached again; automatic printing goes on."));
    });
    connect(watcher_.get(), &AutoPrinter::stopped, this, [this] {
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
        && watcher_->state() == AutoPrinter::State::Printing) {
        closeWanted_ = true;
        watcher_->stop();
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void AutoPrintDesk::switchToggled(bool on)
{
    if (!on) {
        watcher_->stop();
        showState();
        return;
    }
    if (condition_.checkedId() == kAnytime) {
        strip_.autoPrintSwitch().setChecked(false);
        tell(true, tr("Automatic printing works under 同時 only: under 随時 it would print "
                      "every finished race again and again. Choose 同時 first."));
        return;
    }
    watcher_->start();
    showState();
}

void AutoPrintDesk::conditionChosen(int id)
{
    if (id != kAnytime || watcher_->state() == AutoPrinter::State::Off)
        return;
    condition_.button(kSimultaneous)->setChecked(true);
    tell(true, tr("随時 cannot be chosen while automatic printing is on: it would print every "
                  "finished race again and again. Switch 自動印刷 off first."));
}

AutoRun AutoPrintDesk::run(const QSet<int>& heldBack, RunObserver& watching)
{
    AutoRun outcome;
    bool stopPressed = false;
    try {
        const PrinterUse::Claim claim = printer_.claim(tr("printing automatically"));
        links_.saveLayout();
        PrintOptions options = links_.printOptions();
        options.heldBack = heldBack;
        lastPreviewOnly_ = options.previewOnly;
        // The operator goes on editing during the run: the run keeps what was set.
        Session runSession = session_;
        CurrentPreview preview(links_.preview);
        links_.runGoing(true);
        QStringList undrawable;
        {
            PrintProgress progress(&window_, PrintProgress::Modality::None);
            RunObservers observers{&progress, links_.recorder, &watching};
            try {
                outcome.summary =
                    PrintRun(runSession, options, *target_.device, &preview, &observers);
            } catch (const RunStopped& stopped) {
                outcome.summary = stopped.summary();
                outcome.failure = stopped;
            }
            undrawable = progress.undrawable();
            stopPressed = progress.stopRequested();
        }
        // The preview goes on from the last certificate composed, with the free texts as
        // the operator has them now.
        for (int item = 0; item < kItemCount; ++item) {
            if (!isFreeTextItem(item))
                session_.itemText[item] = runSession.itemText[item];
        }
        links_.runGoing(false);
        links_.runEnded(undrawable);
    } catch (const Failure& failure) {
        // The run could not begin (the printer in use, the layout not saved, a rank limit
        // that is not a number, the meet held by another desk).
        links_.runGoing(false);
        outcome.failure = failure;
    }
    // 中止 in the progress dialog ends automatic printing, not only this run.
    if (stopPressed)
        strip_.autoPrintSwitch().setChecked(false);
    return outcome;
}

void AutoPrintDesk::runFinished(const AutoRun& run, bool news)
{
    lastAccount_ = describeRun(run.summary, lastPreviewOnly_, kListedEvents);
    if (run.failure)
        lastAccount_.prepend(failureText(*run.failure));
    showState();
    if (!news)
        return;
    QStringList text = lastAccount_;
    text << QString() << tr("Automatic printing goes on; what failed is tried again in a minute.");
    tell(true, text.join(u'\n'));
}

void AutoPrintDesk::showState()
{
    const AutoPrinter& watcher = *watcher_;
    const QString checked =
        watcher.lastCheck().isValid() ? watcher.lastCheck().toString(u"HH:mm:ss"_s) : QString();
    QString state;
    switch (watcher.state()) {
    case AutoPrinter::State::Off: break;
    case AutoPrinter::State::Watching: state = u"監視中 "_s + checked; break;
    case AutoPrinter::State::Printing:
        state = u"印刷中"_s;
        if (watcher.eventInHand() > 0)
            state += u' ' + raceLabel(watcher.eventInHand());
        break;
    case AutoPrinter::State::Waiting: state = u"接続待ち "_s + checked; break;
    }
    strip_.showAutoPrintState(state.trimmed(), lastAccount_.join(u'\n'));
}

void AutoPrintDesk::tell(bool trouble, const QString& text)
{
    // Never waits for an answer: the watching goes on behind the message. A newer message
    // takes the place of an older one.
    delete message_;
    message_ = new QMessageBox(trouble ? QMessageBox::Warning : QMessageBox::Information,
                               u"Tarvel"_s, text, QMessageBox::Ok, &window_);
    message_->setObjectName(u"autoPrintMessage"_s);
    message_->setAttribute(Qt::WA_DeleteOnClose);
    message_->setWindowModality(Qt::NonModal);
    message_->show();
}

} // namespace tarvel::ui
