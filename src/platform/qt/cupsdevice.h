#pragma once
/// Certificates on a CUPS destination, one print job per document.

#include "platform/qt/cupsjobs.h"
#include "platform/qt/pagedprinterdevice.h"

#include <optional>

namespace tarvel {

/// Each document is drawn as PDF on the destination's default paper, positions measured
/// from the top-left corner of its printable area (the media margins the scheduler
/// reports; a destination that reports none, such as a class, gets the design page on A4),
/// and sent as one job titled after the document. endDocument() returns only once the
/// scheduler has accepted the whole job; a job it refuses throws tarvel::Failure naming the
/// destination and the scheduler's reason.
class CupsDevice final : public PagedPrinterDevice {
public:
    explicit CupsDevice(QString destination);
    ~CupsDevice() override;

    const QString& destination() const { return destination_; }

protected:
    QPageLayout pageLayout() override;
    Delivery deliver(const QByteArray& pdf, const QString& name, int pages) override;

private:
    /// Looks the destination up for the first document, and again after a failure (the
    /// scheduler may have been restarted, the printer added back).
    cups::Destination& scheduled();

    QString destination_;
    std::unique_ptr<cups::Destination> scheduled_;
    /// The paper, asked of the scheduler for the first document.
    std::optional<QPageLayout> layout_;
};

} // namespace tarvel
