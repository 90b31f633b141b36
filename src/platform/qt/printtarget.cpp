#include "platform/qt/printtarget.h"

#include "platform/qt/cupsdevice.h"
#include "platform/qt/cupsjobs.h"
#include "platform/qt/pdfdevice.h"
#include "platform/qt/printsystem.h"
#include "platform/words.h"

#include <QDir>

namespace tarvel {

namespace {

PrintTarget printerTarget(const QString& destination, const cups::SchedulerSettings& settings,
                          PdfWriting writing = {})
{
    PrintTarget target;
    target.kind = PrintTargetKind::Printer;
    target.where = destination;
    auto device = std::make_unique<CupsDevice>(destination, settings);
    device->setPlainTextDocuments(std::move(writing.plainTextFaces));
    target.device = std::move(device);
    return target;
}

} // namespace

QString PrintTarget::printerName() const
{
    if (kind != PrintTargetKind::Printer)
        return {};
    if (!where.isEmpty())
        return where;
    const auto* printer = dynamic_cast<const CupsDevice*>(device.get());
    return printer ? printer->destination() : QString();
}

QString PrintTarget::description() const
{
    if (kind == PrintTargetKind::PdfFiles)
        return Words::tr("PDF: %1").arg(QDir::toNativeSeparators(where));
    const QString name = printerName();
    return Words::tr("printer: %1").arg(name.isEmpty() ? Words::tr("the default printer") : name);
}

PrintTarget openPdfTarget(const QString& folder, PdfWriting writing)
{
    PrintTarget target;
    target.kind = PrintTargetKind::PdfFiles;
    target.where = folder;
    auto device = std::make_unique<PdfDevice>(folder);
    device->setPlainTextDocuments(std::move(writing.plainTextFaces));
    target.device = std::move(device);
    return target;
}

PrintTarget openPrinterTarget(const QString& destination, PdfWriting writing,
                              const cups::SchedulerSettings& settings)
{
    return printerTarget(destination, settings, std::move(writing));
}

PrintTarget openDefaultPrintTarget(const QString& pdfFolder,
                                   const cups::SchedulerSettings& settings)
{
    if (!hasPrintSystem(PrintSystemFacts::ofThisMachine()))
        return openPdfTarget(pdfFolder);
    return printerTarget(QString(), settings);
}

PrintTarget openLookedUpPrintTarget(const QString& pdfFolder,
                                    const cups::SchedulerSettings& settings)
{
    if (!hasPrintSystem(PrintSystemFacts::ofThisMachine()))
        return openPdfTarget(pdfFolder);
    return printerTarget(lookUpDefaultPrinter(settings), settings);
}

QString lookUpDefaultPrinter(const cups::SchedulerSettings& settings, cups::CancelFlag* cancel)
{
    cups::Connection connection(settings, cancel, Words::tr("looking up the default printer"));
    return cups::defaultDestination(connection);
}

} // namespace tarvel
