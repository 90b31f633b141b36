#pragma once
/// Passing 中止 on to the waits that go on beside a run (an award list's printer).

#include <functional>
#include <list>
#include <mutex>

namespace tarvel {

/// Keeps what stops the side work of the run going; stopAll() calls each, from any thread.
/// A registration lasts as long as the object add() returns, whose destructor waits for a
/// stopAll() under way, so that what it stops never goes while being stopped.
class StopRelay {
public:
    class Registration {
    public:
        Registration(StopRelay& relay, std::list<std::function<void()>>::iterator at)
            : relay_(&relay)
            , at_(at)
        {
        }
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;
        ~Registration()
        {
            std::lock_guard lock(relay_->mutex_);
            relay_->stops_.erase(at_);
        }

    private:
        StopRelay* relay_;
        std::list<std::function<void()>>::iterator at_;
    };

    /// `stop` must not throw and must return quickly (it sets a flag, shuts a connection).
    [[nodiscard]] Registration add(std::function<void()> stop)
    {
        std::lock_guard lock(mutex_);
        return Registration(*this, stops_.insert(stops_.end(), std::move(stop)));
    }

    void stopAll() noexcept
    {
        std::lock_guard lock(mutex_);
        for (const std::function<void()>& stop : stops_)
            stop();
    }

private:
    std::mutex mutex_;
    std::list<std::function<void()>> stops_;
};

} // namespace tarvel
