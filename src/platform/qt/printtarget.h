#pragma once
/// Where certificates go: the default printer, or PDF files when chosen or when the machine
/// has no print system at all. Decided once, when the target is opened; never changed
/// behind the operator's back (a scheduler that does not answer is a failure, not a reason
/// for files).

#include "platform/printdevice.h"
#include "platform/qt/cupsconnection.h"
#include "platform/qt/truetypefaces.h"

#include <QString>

#include <memory>

namespace tarvel {

/// The folder in the data folder that takes the PDF files when there is no print system.
inline constexpr char16_t kPdfFolderName[] = u"certificates";

enum class PrintTargetKind {
    Printer,  ///< a destination of the print scheduler
    PdfFiles, ///< one PDF file per document in a folder
};

struct PrintTarget {
    std::unique_ptr<PrintDevice> device;
    PrintTargetKind kind = PrintTargetKind::PdfFiles;
    /// The destination's name (empty: the default destination, not looked up yet), or the
    /// folder of the PDF files (a path of this machine).
    QString where;

    /// The printer's name; empty for PDF files, or while the default destination has not
    /// been looked up. Any thread.
    QString printerName() const;

    /// The line that tells the operator where certificates go: "printer: <name>" (or the
    /// default printer while it is not known), or "PDF: <folder>".
    QString description() const;
};

/// How a target's documents are made into PDF.
struct PdfWriting {
    /// Null: painted through Qt's PDF writer, anything a certificate draws. Otherwise plain
    /// text and lines written by Tarvel (see PlainPdfWriter: the lists), in faces read once
    /// into this store for every target that shares it.
    std::shared_ptr<TrueTypeFaces> plainTextFaces;
};

/// PDF files in `folder` (created with the first file), as chosen by the operator.
PrintTarget openPdfTarget(const QString& folder, PdfWriting writing = {});

/// The scheduler's destination `destination`, named by the operator (a second printer for
/// the award lists). Asks the scheduler nothing until the first document; a destination
/// that does not exist fails that document.
PrintTarget openPrinterTarget(
    const QString& destination, PdfWriting writing = {},
    const cups::SchedulerSettings& settings = cups::SchedulerSettings::fromEnvironment());

/// The scheduler's default destination when the machine has a print system
/// (hasPrintSystem), otherwise PDF files in `pdfFolder`. Asks the scheduler nothing and
/// never waits, so it may be called on the GUI thread: the device looks the default
/// destination up (under the settings' deadline, on its own thread) before its first
/// document, and `where` stays empty. Needs a QGuiApplication.
PrintTarget openDefaultPrintTarget(
    const QString& pdfFolder,
    const cups::SchedulerSettings& settings = cups::SchedulerSettings::fromEnvironment());

/// Like openDefaultPrintTarget, but looks the default destination up now, so that `where`
/// names it: waits for the scheduler (up to the deadline), never on the GUI thread. Throws
/// tarvel::Failure when the scheduler does not answer or the default printer does not
/// exist (naming it).
PrintTarget openLookedUpPrintTarget(
    const QString& pdfFolder,
    const cups::SchedulerSettings& settings = cups::SchedulerSettings::fromEnvironment());

/// The name of the default destination, looked up under the settings' deadline over a
/// connection of the calling thread; `cancel`, when given, ends the wait from another
/// thread. Waits: never on the GUI thread. Throws tarvel::Failure as
/// openLookedUpPrintTarget.
QString lookUpDefaultPrinter(
    const cups::SchedulerSettings& settings = cups::SchedulerSettings::fromEnvironment(),
    cups::CancelFlag* cancel = nullptr);

} // namespace tarvel
