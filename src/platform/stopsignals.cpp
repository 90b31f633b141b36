#include "platform/stopsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

namespace tarvel {

#ifdef Q_OS_LINUX

namespace {

sigset_t stopSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

} // namespace

void holdStopSignals()
{
    const sigset_t set = stopSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void releaseStopSignals()
{
    const sigset_t set = stopSignalSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    const sigset_t set = stopSignalSet();
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        if (arrived())
            Q_EMIT arrivedNow();
    });
}

StopSignals::~StopSignals()
{
    if (onArrival_.joinable()) {
        const uint64_t one = 1;
        if (::write(wakeFd_, &one, sizeof one) < 0) {
            // An eventfd takes a write unless its counter is full, which one write never makes.
        }
        onArrival_.join();
    }
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

void StopSignals::alsoOnArrival(std::function<void()> stop)
{
    if (fd_ < 0 || onArrival_.joinable())
        return;
    wakeFd_ = eventfd(0, EFD_CLOEXEC);
    if (wakeFd_ < 0)
        return;
    // Only looks: the signal stays pending for arrived() on the owning thread.
    onArrival_ = std::thread([signalFd = fd_, wakeFd = wakeFd_, stop = std::move(stop)] {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        while (::poll(fds, 2, -1) < 0) {
            if (errno != EINTR)
                return;
        }
        if (fds[0].revents & POLLIN)
            stop();
    });
}

bool StopSignals::arrived()
{
    signalfd_siginfo info;
    while (fd_ >= 0 && ::read(fd_, &info, sizeof info) == ssize_t(sizeof info))
        arrived_ = true;
    return arrived_;
}

#else

// Elsewhere the signals keep their usual effect: the process ends where it is.
void holdStopSignals() {}
void releaseStopSignals() {}
StopSignals::StopSignals(QObject* parent) : QObject(parent) {}
StopSignals::~StopSignals() = default;
void StopSignals::alsoOnArrival(std::function<void()>) {}
bool StopSignals::arrived()
{
    return arrived_;
}

#endif

} // namespace tarvel
