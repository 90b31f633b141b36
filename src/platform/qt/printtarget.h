#pragma once
/// Where certificates go: the default printer, or PDF files when the system has none.

#include "meetdb/datalocations.h"
#include "platform/printdevice.h"

#include <QString>

#include <memory>

namespace tarvel {

/// The folder in the data folder that takes the PDF files.
inline constexpr char16_t kPdfFolderName[] = u"certificates";

enum class PrintTargetKind {
    Printer,  ///< the print scheduler's default destination
    PdfFiles, ///< one PDF file per document in a folder
};

struct PrintTarget {
    std::unique_ptr<PrintDevice> device;
    PrintTargetKind kind = PrintTargetKind::PdfFiles;
    /// The destination's name, or the folder of the PDF files (a path of this machine).
    QString where;
};

/// The scheduler's default destination when there is one, moved by its calibration offset
/// (loadPrinterOffset); otherwise PDF files in the folder
/// "certificates" of the data folder. Nothing is sent or created until a document is
/// ended. Needs a QGuiApplication.
PrintTarget openDefaultPrintTarget(const DataLocations& where);

} // namespace tarvel
