#pragma once
/// Certificates on a CUPS destination, one print job per document.

#include "platform/printeroffset.h"
#include "platform/qt/cupsjobs.h"
#include "platform/qt/pagedprinterdevice.h"
#include "platform/serialworker.h"

#include <deque>
#include <future>
#include <memory>
#include <optional>

namespace tarvel {

/// Each document is drawn as PDF on the destination's default paper, positions measured
/// from the top-left corner of its printable area (the media margins the scheduler
/// reports; a destination that reports none, such as a class, gets the design page on A4)
/// and moved by the destination's calibration offset, and sent as one job titled after the
/// document. A job the scheduler refuses is a
/// tarvel::Failure naming the destination and the scheduler's reason.
///
/// Jobs are sent by a thread of the device's own, one after another in the order the
/// documents were ended: beginDelivery() returns at once, so that the next document is drawn
/// while the scheduler takes the last one; endDocument() and takeDelivery(Yes) wait for it.
class CupsDevice final : public PagedPrinterDevice {
public:
    explicit CupsDevice(QString destination, PageOffset offset = {});
    /// Finishes the deliveries begun.
    ~CupsDevice() override;

    const QString& destination() const { return destination_; }
    const PageOffset& offset() const { return offset_; }

    void beginDelivery() override;
    std::optional<Delivery> takeDelivery(DeliveryWait wait) override;

protected:
    QPageLayout pageLayout() override;
    Delivery deliver(const QByteArray& pdf, const QString& name, int pages) override;

private:
    /// Sends one document; runs on the sending thread, which alone talks to the scheduler
    /// about jobs (the scheduler's client library keeps a connection per thread).
    Delivery send(const QByteArray& pdf, const QString& name, int pages);

    QString destination_;
    PageOffset offset_;
    /// Looked up on the sending thread for its first job, and again after a failure (the
    /// scheduler may have been restarted, the printer added back).
    std::unique_ptr<cups::Destination> scheduled_;
    /// The paper, asked of the scheduler for the first document.
    std::optional<QPageLayout> layout_;
    std::deque<std::future<Delivery>> pending_;
    SerialWorker<Delivery> sender_; ///< last: it goes first, finishing what it was given
};

} // namespace tarvel
