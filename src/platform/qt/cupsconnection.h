#pragma once
/// One connection to the print scheduler (CUPS), owned by one thread, every call on it under
/// a deadline and stoppable from another thread.
///
/// The deadline is libcups's own connection timeout (a wait that reaches it gives the call
/// up); a stop shuts the connection's socket, which ends any wait on it at once.

#include "platform/failure.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

using http_t = struct _http_s;
using ipp_t = struct _ipp_s;

namespace tarvel::cups {

/// How the scheduler is asked: how long one call may take, and the language its texts
/// (status messages) are wanted in.
struct SchedulerSettings {
    /// Each call (a lookup, one job, one state query) ends with a failure when the scheduler
    /// has not answered within it.
    std::chrono::milliseconds deadline{10000};
    /// An IETF language tag ("ja", "en-US"); empty: the default locale's (QLocale()).
    QString language;

    /// The settings the programs use: the default, or the milliseconds in the environment
    /// variable TARVEL_SCHEDULER_DEADLINE_MS when it holds a positive number (tests).
    static SchedulerSettings fromEnvironment();
};

/// Set from any thread to end a wait on the scheduler (the operator pressed 中止, a stop
/// signal came); the call in hand then fails at once, saying it was stopped, and so does
/// every call until reset().
class CancelFlag {
public:
    /// Sets the flag and shuts the connection that is waiting, if any.
    void cancel() noexcept;
    void reset() noexcept { cancelled_.store(false); }
    bool isCancelled() const noexcept { return cancelled_.load(); }

private:
    friend class Connection;
    void attach(http_t* http);
    void detach();

    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    http_t* attached_ = nullptr; ///< the connection a cancel shuts; guarded by mutex_
};

/// A connection of its own to the scheduler. Not shared between threads: libcups keeps its
/// last error per thread, and a connection carries one request at a time.
class Connection {
public:
    /// Connects within the deadline. Throws tarvel::Failure (Kind::Unreachable, naming the
    /// scheduler) when it cannot, or when `cancel` is set meanwhile.
    Connection(const SchedulerSettings& settings, CancelFlag* cancel, const QString& action);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    /// Starts the deadline of the next call.
    void beginCall();
    http_t* http() const;
    const QString& server() const;

    /// A request of operation `op` asking for texts in the settings' language.
    ipp_t* newRequest(int op) const;

    /// Sends `request` (taken and freed) to the scheduler under a fresh deadline; the
    /// answer when the scheduler accepted it (free it with ippDelete), null when the call
    /// failed (see failure()).
    ipp_t* call(ipp_t* request, const char* resource = "/");

    /// Whether the last call was answered "not found" (rather than not at all).
    bool wasNotFound() const;

    /// Whether the last call failed because the deadline passed or the wait was stopped,
    /// rather than for a reason the scheduler gave.
    bool wasInterrupted() const;

    /// The failure of the last call, with its true reason: stopped, no answer within the
    /// deadline, the connection lost (and whether the scheduler still runs), or the
    /// scheduler's own status message. A printer failure naming `printer` (the scheduler
    /// when empty); Kind::Unreachable unless the scheduler answered.
    Failure failure(const QString& action, const QString& printer) const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace tarvel::cups
