#pragma once
/// Tasks run one after another on a thread of their own.

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace tarvel {

/// Runs the tasks given to post() on one thread, in the order given, each to its end; a
/// task's result or exception arrives through its future. The thread starts with the first
/// task. The destructor lets every task already given finish, then ends the thread.
template <class Result>
class SerialWorker {
public:
    SerialWorker() = default;
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    ~SerialWorker()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        if (thread_.joinable())
            thread_.join();
    }

    std::future<Result> post(std::function<Result()> task)
    {
        std::packaged_task<Result()> packaged(std::move(task));
        std::future<Result> result = packaged.get_future();
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(packaged));
            if (!thread_.joinable())
                thread_ = std::thread([this] { work(); });
        }
        wake_.notify_one();
        return result;
    }

private:
    void work()
    {
        for (;;) {
            std::packaged_task<Result()> task;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
                if (tasks_.empty())
                    return; // stopping, and nothing left to do
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<Result()>> tasks_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace tarvel
