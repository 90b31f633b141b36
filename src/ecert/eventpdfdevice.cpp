#include "ecert/eventpdfdevice.h"

#include "platform/qt/pdfdevice.h"

namespace tarvel {

QPageLayout EventPdfDevice::pageLayout()
{
    return PdfDevice::designPageLayout();
}

Delivery EventPdfDevice::deliver(const QByteArray& pdf, const QString& name, int pages)
{
    document_ = pdf;
    return {true, name, 0, pages};
}

} // namespace tarvel
