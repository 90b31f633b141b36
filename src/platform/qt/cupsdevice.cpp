#include "platform/qt/cupsdevice.h"

#include "platform/qt/pdfdevice.h"

#include <QPageSize>

namespace tarvel {

CupsDevice::CupsDevice(QString destination)
    : destination_(std::move(destination))
{
}

QPageLayout CupsDevice::pageLayout()
{
    if (!layout_) {
        const std::optional<cups::Paper> paper = cups::defaultPaper(destination_);
        layout_ = paper ? QPageLayout(QPageSize(paper->size, QPageSize::Millimeter),
                                      QPageLayout::Portrait, paper->margins,
                                      QPageLayout::Millimeter)
                        : PdfDevice::designPageLayout();
    }
    return *layout_;
}

Delivery CupsDevice::deliver(const QByteArray& pdf, const QString& name, int pages)
{
    const int jobId = cups::submitPdf(destination_, name, pdf);
    return {true, destination_, jobId, pages};
}

} // namespace tarvel
