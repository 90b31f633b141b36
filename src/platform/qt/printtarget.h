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
    Printer,  ///< the system's default printer
    PdfFiles, ///< one PDF file per document in a folder
};

struct PrintTarget {
    std::unique_ptr<PrintDevice> device;
    PrintTargetKind kind = PrintTargetKind::PdfFiles;
    /// The printer's name, or the folder of the PDF files (a path of this machine).
    QString where;
};

/// The default printer when the system has one; otherwise PDF files in the folder
/// "certificates" of the data folder. Nothing is opened or created until the first page is
/// drawn. Needs a QGuiApplication.
PrintTarget openDefaultPrintTarget(const DataLocations& where);

} // namespace tarvel
