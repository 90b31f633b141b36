#pragma once
// Waiting in tests on what can be observed, with a deadline, never on the clock alone.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <chrono>

namespace tarvel::testing {

/// Checks `condition` until it holds or `timeout` passes, handling this thread's events in
/// between when there is an application (queued signals, timers); whether it holds.
template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    const QDeadlineTimer deadline(timeout);
    while (!condition() && !deadline.hasExpired()) {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return condition();
}

} // namespace tarvel::testing
