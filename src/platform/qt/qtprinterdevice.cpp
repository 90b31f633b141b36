#include "platform/qt/qtprinterdevice.h"

#include "platform/failure.h"

namespace tarvel {

QtPrinterDevice::QtPrinterDevice(QPrinterInfo printer)
    : printer_(std::move(printer))
{
}

QtPrinterDevice::~QtPrinterDevice()
{
    endDocumentAtExit();
}

std::unique_ptr<QPrinter> QtPrinterDevice::newDocumentPrinter(const QString& documentName)
{
    if (printer_.isNull())
        throw Failure(u"printing the certificates"_qs, QString(), u"there is no printer"_qs);
    auto printer = std::make_unique<QPrinter>(printer_, QPrinter::HighResolution);
    printer->setDocName(documentName);
    printer->setCreator(u"Tarvel"_qs);
    return printer;
}

void QtPrinterDevice::documentFinished(QPrinter& printer)
{
    if (printer.printerState() == QPrinter::Error)
        throw Failure(u"printing the certificates"_qs, describe(printer),
                      u"the printer reported an error"_qs);
}

QString QtPrinterDevice::describe(const QPrinter& printer) const
{
    return printer.printerName();
}

} // namespace tarvel
