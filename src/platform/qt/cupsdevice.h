#pragma once
/// Certificates on a CUPS destination, one print job per document.

#include "platform/printeroffset.h"
#include "platform/qt/cupsconnection.h"
#include "platform/qt/cupsjobs.h"
#include "platform/qt/pagedprinterdevice.h"
#include "platform/serialworker.h"

#include <atomic>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <optional>

namespace tarvel {

/// Each document is drawn as PDF on the destination's default paper, positions measured
/// from the top-left corner of its printable area (the media margins the scheduler
/// reports; a destination that reports none, such as a class, gets the design page on A4)
/// and moved by the destination's calibration offset, and sent as one job titled after the
/// document. A job the scheduler refuses is a tarvel::Failure naming the destination and
/// the scheduler's reason; a scheduler that does not answer within the deadline, or
/// cannot be reached, is one of Kind::Unreachable saying so.
///
/// The scheduler is asked only by a thread of the device's own, over a connection of its
/// own, one call after another: the default destination and its paper before the first
/// document, then the jobs in the order the documents were ended. beginDelivery() returns
/// at once, so that the next document is drawn while the scheduler takes the last one;
/// pageLayout() (the first document), endDocument() and takeDelivery(Yes) wait for it.
class CupsDevice final : public PagedPrinterDevice {
public:
    /// `destination` empty: the default destination, looked up before the first document
    /// (a default that does not exist is a failure naming it). `offset`: the calibration;
    /// by default the destination's own (loadPrinterOffset), read once it is known.
    explicit CupsDevice(QString destination, cups::SchedulerSettings settings = {},
                        std::optional<PageOffset> offset = std::nullopt);
    /// Finishes the deliveries begun.
    ~CupsDevice() override;

    /// The destination; empty while the default has not been looked up. Any thread.
    QString destination() const;

    void beginDelivery() override;
    std::optional<Delivery> takeDelivery(DeliveryWait wait) override;
    void cancelWaiting() noexcept override;

protected:
    QPageLayout pageLayout() override;
    Delivery deliver(const QByteArray& pdf, const QString& name, int pages) override;

private:
    /// What the sending thread learns of the destination before the first document.
    struct Lookup {
        QString destination;
        std::optional<cups::Paper> paper;
    };

    /// The connection and the destination, made on the sending thread when missing.
    cups::Destination& scheduled();
    /// Sends one document; runs on the sending thread.
    Delivery send(const QByteArray& pdf, const QString& name, int pages);
    /// On the sending thread, first thing in each task: after a document that began with
    /// nothing under way, forgets an earlier stop and a lost scheduler.
    void startTask();
    /// Forgets the connection after a failure (the scheduler may have been restarted, the
    /// printer added back, a call left half done).
    void dropConnection();

    const cups::SchedulerSettings settings_;
    cups::CancelFlag cancel_;
    /// Set by the sending thread when the scheduler did not answer or could not be reached:
    /// the documents queued behind fail with it at once instead of waiting out a deadline
    /// each. Cleared, like a stop, when a document begins with nothing under way.
    std::mutex lostMutex_;
    std::optional<Failure> schedulerLost_;
    /// A document began with nothing under way: the next task starts afresh.
    std::atomic<bool> freshStart_{false};
    mutable std::mutex destinationMutex_;
    QString destination_;
    std::optional<PageOffset> offset_;
    /// Used by the sending thread only.
    std::unique_ptr<cups::Connection> connection_;
    std::unique_ptr<cups::Destination> scheduled_;
    /// The paper, asked of the scheduler for the first document.
    std::optional<QPageLayout> layout_;
    std::deque<std::future<Delivery>> pending_;
    SerialWorker<Delivery> sender_; ///< last: it goes first, finishing what it was given
};

} // namespace tarvel
