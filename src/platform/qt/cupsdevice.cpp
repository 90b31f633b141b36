#include "platform/qt/cupsdevice.h"

#include "platform/failure.h"
#include "platform/qt/pdfdevice.h"

#include <QPageSize>

namespace tarvel {

CupsDevice::CupsDevice(QString destination)
    : destination_(std::move(destination))
{
}

CupsDevice::~CupsDevice() = default;

cups::Destination& CupsDevice::scheduled()
{
    if (!scheduled_)
        scheduled_ = std::make_unique<cups::Destination>(destination_);
    return *scheduled_;
}

QPageLayout CupsDevice::pageLayout()
{
    if (!layout_) {
        const std::optional<cups::Paper> paper = scheduled().defaultPaper();
        layout_ = paper ? QPageLayout(QPageSize(paper->size, QPageSize::Millimeter),
                                      QPageLayout::Portrait, paper->margins,
                                      QPageLayout::Millimeter)
                        : PdfDevice::designPageLayout();
    }
    return *layout_;
}

Delivery CupsDevice::deliver(const QByteArray& pdf, const QString& name, int pages)
{
    try {
        const int jobId = scheduled().submitPdf(name, pdf);
        return {true, destination_, jobId, pages};
    } catch (const Failure&) {
        scheduled_.reset();
        throw;
    }
}

} // namespace tarvel
