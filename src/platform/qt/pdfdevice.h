#pragma once
/// Certificates as PDF files, one file per document, for a system without a printer.

#include "platform/qt/pagedprinterdevice.h"

#include <QDateTime>
#include <QStringList>

namespace tarvel {

/// Writes each document to its own file in `folder` (created when needed): A4 portrait
/// with margins of 195 twips left and right and 289 twips top and bottom, so the printable
/// area is the design page of 11516 x 16260 twips. Files are named
/// "<yyyyMMdd-HHmmss-zzz>-<document name>.pdf" after the time the document began, so they
/// sort by time (two documents in one millisecond get consecutive stamps) and say which
/// event or "test" they hold. A folder or file that cannot be written throws
/// tarvel::Failure from the drawText() that begins the document or from endDocument().
class PdfDevice final : public PagedPrinterDevice {
public:
    /// `folder` is a path of this machine.
    explicit PdfDevice(QString folder);
    ~PdfDevice() override;

    const QString& folder() const { return folder_; }
    /// The files of the documents ended so far, oldest first.
    const QStringList& writtenFiles() const { return writtenFiles_; }

protected:
    std::unique_ptr<QPagedPaintDevice> newDocumentPrinter(const QString& documentName) override;
    void documentFinished(QPagedPaintDevice& printer) override;
    QString describe(const QPagedPaintDevice& printer) const override;

private:
    QString folder_;
    QStringList writtenFiles_;
    QDateTime lastStamp_;
    QString documentPath_; ///< the file of the document begun last
};

} // namespace tarvel
