#include "platform/qt/qtprinterdevice.h"

#include "platform/failure.h"

#include <QPrinter>

namespace tarvel {

QtPrinterDevice::QtPrinterDevice(QPrinterInfo printer)
    : printer_(std::move(printer))
{
}

QtPrinterDevice::~QtPrinterDevice()
{
    endDocumentAtExit();
}

std::unique_ptr<QPagedPaintDevice> QtPrinterDevice::newDocumentPrinter(const QString& documentName)
{
    if (printer_.isNull())
        throw Failure(u"printing the certificates"_qs, QString(), u"there is no printer"_qs);
    auto printer = std::make_unique<QPrinter>(printer_, QPrinter::HighResolution);
    printer->setDocName(documentName);
    printer->setCreator(u"Tarvel"_qs);
    return printer;
}

void QtPrinterDevice::documentFinished(QPagedPaintDevice& printer)
{
    // Only this device makes printers.
    if (static_cast<QPrinter&>(printer).printerState() == QPrinter::Error)
        throw Failure(u"printing the certificates"_qs, describe(printer),
                      u"the print job could not be completed"_qs);
}

QString QtPrinterDevice::describe(const QPagedPaintDevice& printer) const
{
    return static_cast<const QPrinter&>(printer).printerName();
}

} // namespace tarvel
