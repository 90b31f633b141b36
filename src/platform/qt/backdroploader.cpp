#include "platform/qt/backdroploader.h"

#include <QCoreApplication>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace tarvel {

namespace {
/// How long the destructor waits for a dropped reading to end.
constexpr std::chrono::seconds kFarewell{3};

/// A reading that failed outside loadBackdropImage (no memory, no thread).
Failure readingFailure(const QString& path, const QString& reason)
{
    return Failure(QCoreApplication::translate("tarvel", "showing the blank certificate"), path,
                   reason);
}
} // namespace

/// What the reading threads share with the loader; outlives it while a thread runs.
struct BackdropLoader::Shared {
    std::mutex mutex;
    std::condition_variable ended;
    /// Null once the loader is gone: nothing answers any more.
    BackdropLoader* owner = nullptr;
    /// The request that may answer.
    quint64 wanted = 0;
    int running = 0;

    bool isDropped(quint64 ticket)
    {
        std::lock_guard lock(mutex);
        return owner == nullptr || wanted != ticket;
    }
};

BackdropLoader::BackdropLoader(BackdropLimits limits, QObject* parent)
    : QObject(parent)
    , limits_(limits)
    , shared_(std::make_shared<Shared>())
{
    shared_->owner = this;
}

BackdropLoader::~BackdropLoader()
{
    std::unique_lock lock(shared_->mutex);
    shared_->owner = nullptr;
    shared_->ended.wait_for(lock, kFarewell, [this] { return shared_->running == 0; });
}

void BackdropLoader::load(const QString& path)
{
    const quint64 ticket = ++ticket_;
    loading_ = true;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->wanted = ticket;
        ++shared_->running;
    }
    const auto read = [shared = shared_, limits = limits_, ticket, path] {
        QImage image;
        std::optional<Failure> failure;
        try {
            image = loadBackdropImage(path, limits, [&] { return shared->isDropped(ticket); });
        } catch (const Failure& caught) {
            failure = caught;
        } catch (const std::bad_alloc&) {
            failure =
                readingFailure(path, QCoreApplication::translate("tarvel", "not enough memory"));
        }
        std::lock_guard lock(shared->mutex);
        --shared->running;
        shared->ended.notify_all();
        if (shared->owner == nullptr || shared->wanted != ticket)
            return;
        // Queued: runs on the loader's thread, and not at all once the loader is gone.
        BackdropLoader* owner = shared->owner;
        QMetaObject::invokeMethod(
            owner,
            [owner, ticket, path, image, failure] { owner->answer(ticket, path, image, failure); },
            Qt::QueuedConnection);
    };
    try {
        std::thread(read).detach();
    } catch (const std::system_error& error) {
        {
            std::lock_guard lock(shared_->mutex);
            --shared_->running;
        }
        const Failure failure = readingFailure(path, QString::fromLocal8Bit(error.what()));
        QMetaObject::invokeMethod(
            this, [this, ticket, path, failure] { answer(ticket, path, QImage(), failure); },
            Qt::QueuedConnection);
    }
}

void BackdropLoader::cancel()
{
    ++ticket_;
    loading_ = false;
    std::lock_guard lock(shared_->mutex);
    shared_->wanted = ticket_;
}

void BackdropLoader::answer(quint64 ticket, const QString& path, const QImage& image,
                            const std::optional<Failure>& failure)
{
    if (ticket != ticket_)
        return; // dropped after its answer was on its way
    loading_ = false;
    if (failure) {
        Q_EMIT failed(*failure);
        return;
    }
    Q_EMIT loaded(path, image);
}

} // namespace tarvel
