#include "platform/qt/cupsdevice.h"

#include "platform/failure.h"
#include "platform/qt/pdfdevice.h"
#include "platform/words.h"

#include <QPageSize>

#include <algorithm>
#include <chrono>

namespace tarvel {

namespace {

QString connectAction()
{
    return Words::tr("connecting to the print scheduler");
}

bool isUnderWay(std::future<Delivery>& delivery)
{
    return delivery.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

} // namespace

CupsDevice::CupsDevice(QString destination, cups::SchedulerSettings settings,
                       std::optional<PageOffset> offset)
    : settings_(std::move(settings))
    , destination_(std::move(destination))
    , offset_(offset)
{
    if (offset_)
        setPageOffset(offset_->x, offset_->y);
}

CupsDevice::~CupsDevice() = default;

QString CupsDevice::destination() const
{
    std::lock_guard lock(destinationMutex_);
    return destination_;
}

void CupsDevice::cancelWaiting() noexcept
{
    cancel_.cancel();
}

void CupsDevice::startTask()
{
    if (!freshStart_.exchange(false))
        return;
    cancel_.reset();
    dropConnection(); // a stop may have shut its socket
    std::lock_guard lock(lostMutex_);
    schedulerLost_.reset();
}

void CupsDevice::dropConnection()
{
    scheduled_.reset();
    connection_.reset();
}

cups::Destination& CupsDevice::scheduled()
{
    if (scheduled_)
        return *scheduled_;
    connection_ = std::make_unique<cups::Connection>(settings_, &cancel_, connectAction());
    QString name = destination();
    if (name.isEmpty()) {
        name = cups::defaultDestination(*connection_);
        std::lock_guard lock(destinationMutex_);
        destination_ = name;
    }
    scheduled_ = std::make_unique<cups::Destination>(*connection_, name);
    return *scheduled_;
}

QPageLayout CupsDevice::pageLayout()
{
    // A new document: a stop asked for before it, with nothing left waiting on the
    // scheduler, has been taken by the run it stopped.
    if (std::none_of(pending_.begin(), pending_.end(), isUnderWay))
        freshStart_.store(true);
    if (layout_)
        return *layout_;
    Lookup lookup;
    sender_
        .post([this, &lookup] {
            startTask();
            try {
                cups::Destination& destination = scheduled();
                lookup.destination = destination.name();
                lookup.paper = destination.defaultPaper();
            } catch (const Failure&) {
                dropConnection();
                throw;
            }
            return Delivery();
        })
        .get(); // rethrows the lookup's failure
    if (!offset_) {
        offset_ = loadPrinterOffset(lookup.destination);
        setPageOffset(offset_->x, offset_->y);
    }
    layout_ = lookup.paper ? QPageLayout(QPageSize(lookup.paper->size, QPageSize::Millimeter),
                                         QPageLayout::Portrait, lookup.paper->margins,
                                         QPageLayout::Millimeter)
                           : PdfDevice::designPageLayout();
    return *layout_;
}

Delivery CupsDevice::send(const QByteArray& pdf, const QString& name, int pages)
{
    startTask();
    {
        std::lock_guard lock(lostMutex_);
        if (schedulerLost_)
            throw *schedulerLost_;
    }
    try {
        cups::Destination& destination = scheduled();
        const int jobId = destination.submitPdf(name, pdf);
        return {true, destination.name(), jobId, pages};
    } catch (const Failure& failure) {
        dropConnection();
        if (failure.kind() == Failure::Kind::Unreachable) {
            std::lock_guard lock(lostMutex_);
            schedulerLost_ = failure;
        }
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
    if (wait == DeliveryWait::No && isUnderWay(oldest))
        return std::nullopt;
    std::future<Delivery> taken = std::move(oldest);
    pending_.pop_front();
    return taken.get(); // rethrows the delivery's failure
}

} // namespace tarvel
