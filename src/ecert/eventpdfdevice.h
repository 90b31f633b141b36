#pragma once
/// A print device that keeps each document as PDF bytes in memory: how an event's
/// e-certificates are drawn, page for page as the printed certificates.

#include "platform/qt/pagedprinterdevice.h"

#include <QByteArray>

namespace tarvel {

/// Draws on the design page's sheet (A4 with the PDF files' margins), with the fonts
/// embedded as Qt embeds them and no printer calibration. Each endDocument() keeps the
/// document whole for takeDocument(). One thread at a time.
class EventPdfDevice final : public PagedPrinterDevice {
public:
    EventPdfDevice() = default;
    /// The document ended last, handed over (empty when none).
    QByteArray takeDocument() { return std::exchange(document_, QByteArray()); }

protected:
    QPageLayout pageLayout() override;
    Delivery deliver(const QByteArray& pdf, const QString& name, int pages) override;

private:
    QByteArray document_;
};

} // namespace tarvel
