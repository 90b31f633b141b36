#include "desk/runtap.h"

#include "printrun/runaccount.h"

namespace tarvel {

namespace {
/// Often enough for a progress bar to move smoothly, rare enough to cost nothing.
constexpr qint64 kTellEveryMilliseconds = 50;
} // namespace

RunTap::RunTap(const std::atomic<bool>& stopWanted, std::function<void()> changed)
    : stopWanted_(stopWanted)
    , changed_(std::move(changed))
{
}

void RunTap::runStarted(int lastRace)
{
    {
        std::lock_guard lock(mutex_);
        progress_.lastRace = lastRace;
    }
    tell(Tell::Now);
}

void RunTap::raceReached(int raceNo)
{
    {
        std::lock_guard lock(mutex_);
        progress_.raceNo = raceNo;
    }
    tell(Tell::WhenDue);
}

void RunTap::eventStarted(int raceNo, const QString& title)
{
    {
        std::lock_guard lock(mutex_);
        progress_.raceNo = raceNo;
        progress_.event = title;
    }
    tell(Tell::WhenDue);
}

void RunTap::certificateAccepted(const AcceptedCertificate& certificate)
{
    {
        std::lock_guard lock(mutex_);
        ++progress_.certificates;
        if (!certificate.undrawable.empty())
            undrawable_ << describeUndrawable(certificate);
    }
    tell(Tell::WhenDue);
}

void RunTap::reset()
{
    std::lock_guard lock(mutex_);
    progress_ = RunProgress();
    undrawable_.clear();
    sinceTold_.invalidate();
}

RunProgress RunTap::progress() const
{
    std::lock_guard lock(mutex_);
    return progress_;
}

QStringList RunTap::undrawable() const
{
    std::lock_guard lock(mutex_);
    return undrawable_;
}

void RunTap::tell(Tell when)
{
    if (!changed_)
        return;
    if (when == Tell::WhenDue && sinceTold_.isValid()
        && sinceTold_.elapsed() < kTellEveryMilliseconds)
        return;
    sinceTold_.start();
    changed_();
}

} // namespace tarvel
