#pragma once
/// Who is using the desk's printer: one document at a time, whoever prints it (a run the
/// operator started, an automatic run, a reprint, a test page, a new calibration).

#include "platform/failure.h"
#include "platform/words.h"

#include <QString>

#include <memory>
#include <mutex>

namespace tarvel {

/// Thread-safe: claims come from the GUI thread and from the watcher's thread.
class PrinterClaim {
public:
    /// Holds the printer until it goes; movable into the task that prints.
    class Held {
    public:
        Held() = default;
        explicit Held(PrinterClaim& owner) : owner_(&owner) {}
        Held(Held&& other) noexcept : owner_(std::exchange(other.owner_, nullptr)) {}
        Held& operator=(Held&& other) noexcept
        {
            release();
            owner_ = std::exchange(other.owner_, nullptr);
            return *this;
        }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;
        ~Held() { release(); }

    private:
        void release()
        {
            if (owner_) {
                std::lock_guard lock(owner_->mutex_);
                owner_->holder_.clear();
            }
            owner_ = nullptr;
        }
        PrinterClaim* owner_ = nullptr;
    };

    /// Claims the printer for `what` ("printing automatically"). Throws tarvel::Failure
    /// (Kind::Busy) naming the holder while another holds it.
    [[nodiscard]] Held claim(const QString& what)
    {
        std::lock_guard lock(mutex_);
        if (!holder_.isEmpty())
            throw Failure(
                what, QString(),
                Words::tr("the printer is in use (%1); try again once that is done").arg(holder_),
                Failure::Kind::Busy);
        holder_ = what;
        return Held(*this);
    }

    bool busy() const
    {
        std::lock_guard lock(mutex_);
        return !holder_.isEmpty();
    }

private:
    mutable std::mutex mutex_;
    QString holder_;
};

} // namespace tarvel
