#include "platform/qt/printtarget.h"

#include "platform/paths.h"
#include "platform/qt/cupsdevice.h"
#include "platform/qt/cupsjobs.h"
#include "platform/qt/pdfdevice.h"

namespace tarvel {

PrintTarget openDefaultPrintTarget(const DataLocations& where)
{
    if (const std::optional<QString> destination = cups::defaultDestination()) {
        PrintTarget target;
        target.kind = PrintTargetKind::Printer;
        target.where = *destination;
        target.device = std::make_unique<CupsDevice>(*destination, loadPrinterOffset(*destination));
        return target;
    }
    PrintTarget target;
    target.kind = PrintTargetKind::PdfFiles;
    target.where = hostPath(where.dataFile(QString::fromUtf16(kPdfFolderName)));
    target.device = std::make_unique<PdfDevice>(target.where);
    return target;
}

} // namespace tarvel
