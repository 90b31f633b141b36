#pragma once
// Waiting in tests on what can be observed, with a deadline, never on the clock alone.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <thread>

namespace tarvel::testing {

/// Checks `condition` until it holds or `timeout` passes; whether it holds. On a thread with
/// an event dispatcher (the tests' main thread) the wait is spent in it, so that a queued
/// signal, a process's output or a timer is handled as it comes and the condition checked
/// right after; `pollEvery` wakes it as well, for what no event announces (another thread's
/// or process's progress). Without a dispatcher only the clock is left to wait on.
/// Make `pollEvery` longer when checking costs much (a process started, a database opened).
template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10),
                std::chrono::milliseconds pollEvery = std::chrono::milliseconds(2))
{
    const QDeadlineTimer deadline(timeout);
    if (QCoreApplication::instance() && QAbstractEventDispatcher::instance()) {
        QTimer wake;
        wake.setTimerType(Qt::PreciseTimer);
        wake.start(pollEvery);
        while (!condition() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return condition();
    }
    while (!condition() && !deadline.hasExpired())
        std::this_thread::sleep_for(pollEvery);
    return condition();
}

} // namespace tarvel::testing
