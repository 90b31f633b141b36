#include "platform/stopsignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <csignal>
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
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
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
bool StopSignals::arrived()
{
    return arrived_;
}

#endif

} // namespace tarvel
