#pragma once
/// Certificates as PDF files, one file per document, for a system without a printer.

#include "platform/qt/pagedprinterdevice.h"

#include <QDateTime>
#include <QStringList>

namespace tarvel {

/// Writes each document to its own file in `folder` (created when needed): A4 portrait
/// with the margins that leave the design page printable (pageunits.h). Files are named
/// "<yyyyMMdd-HHmmss-zzz>-<document name>.pdf" after the time the document was written, so
/// they sort by time (two documents in one millisecond get consecutive stamps) and say
/// which event or test page they hold. A document's file appears only complete (it is
/// written under a hidden temporary name and renamed once closed, see writeNewFileInFolder)
/// and never replaces another; one that cannot be written whole (a full disk) is removed,
/// and endDocument() throws tarvel::Failure with the system's reason. Neither the folder nor
/// a file is ever followed through a symbolic link.
class PdfDevice final : public PagedPrinterDevice {
public:
    /// `folder` is a path of this machine.
    explicit PdfDevice(QString folder);

    const QString& folder() const { return folder_; }
    /// The files of the documents ended so far, oldest first.
    const QStringList& writtenFiles() const { return writtenFiles_; }

    /// A4 with the margins that make its printable area the design page.
    static QPageLayout designPageLayout();

protected:
    QPageLayout pageLayout() override;
    Delivery deliver(const QByteArray& pdf, const QString& name, int pages) override;

private:
    QString folder_;
    QStringList writtenFiles_;
    QDateTime lastStamp_;
};

} // namespace tarvel
