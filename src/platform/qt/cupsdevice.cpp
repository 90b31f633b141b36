#include "platform/qt/cupsdevice.h"

#include "platform/failure.h"
#include "platform/qt/pdfdevice.h"

#include <QPageSize>

#include <chrono>

namespace tarvel {

CupsDevice::CupsDevice(QString destination, PageOffset offset)
    : destination_(std::move(destination))
    , offset_(offset)
{
    setPageOffset(offset.x, offset.y);
}

CupsDevice::~CupsDevice() = default;

QPageLayout CupsDevice::pageLayout()
{
    if (!layout_) {
        const std::optional<cups::Paper> paper = cups::Destination(destination_).defaultPaper();
        layout_ = paper
                      ? QPageLayout(QPageSize(paper->size, QPageSize::Millimeter),
                                    QPageLayout::Portrait, paper->margins, QPageLayout::Millimeter)
                      : PdfDevice::designPageLayout();
    }
    return *layout_;
}

Delivery CupsDevice::send(const QByteArray& pdf, const QString& name, int pages)
{
    try {
        if (!scheduled_)
            scheduled_ = std::make_unique<cups::Destination>(destination_);
        const int jobId = scheduled_->submitPdf(name, pdf);
        return {true, destination_, jobId, pages};
    } catch (const Failure&) {
        scheduled_.reset();
        throw;
    }
}

Delivery CupsDevice::deliver(const QByteArray& pdf, const QString& name, int pages)
{
    // Behind any deliveries begun before, as the sender takes them in order.
    return sender_.post([this, pdf, name, pages] { return send(pdf, name, pages); }).get();
}

void CupsDevice::beginDelivery()
{
    std::optional<FinishedDocument> document;
    try {
        document = finishDocument();
    } catch (...) {
        std::promise<Delivery> failed;
        failed.set_exception(std::current_exception());
        pending_.push_back(failed.get_future());
        return;
    }
    if (!document) {
        std::promise<Delivery> nothing;
        nothing.set_value(Delivery());
        pending_.push_back(nothing.get_future());
        return;
    }
    pending_.push_back(sender_.post([this, document = std::move(*document)] {
        return send(document.pdf, document.name, document.pages);
    }));
}

std::optional<Delivery> CupsDevice::takeDelivery(DeliveryWait wait)
{
    if (pending_.empty())
        return std::nullopt;
    std::future<Delivery>& oldest = pending_.front();
    if (wait == DeliveryWait::No
        && oldest.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return std::nullopt;
    std::future<Delivery> taken = std::move(oldest);
    pending_.pop_front();
    return taken.get(); // rethrows the delivery's failure
}

} // namespace tarvel
