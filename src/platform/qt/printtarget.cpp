#include "platform/qt/printtarget.h"

#include "platform/paths.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/qtprinterdevice.h"

#include <QPrinterInfo>

namespace tarvel {

PrintTarget openDefaultPrintTarget(const DataLocations& where)
{
    QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull()) {
        PrintTarget target;
        target.kind = PrintTargetKind::Printer;
        target.where = printer.printerName();
        target.device = std::make_unique<QtPrinterDevice>(std::move(printer));
        return target;
    }
    PrintTarget target;
    target.kind = PrintTargetKind::PdfFiles;
    target.where = hostPath(where.dataFile(QString::fromUtf16(kPdfFolderName)));
    target.device = std::make_unique<PdfDevice>(target.where);
    return target;
}

} // namespace tarvel
