#pragma once
/// Pages and documents on a paged paint device: what the default printer and the PDF files
/// share.

#include "platform/printdevice.h"
#include "platform/qt/textpainter.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>

#include <memory>

namespace tarvel {

/// Positions are twips from the top-left corner of the printable area, mapped with the
/// device's resolution (1440 twips per inch); sizes are points. A document is begun by the
/// first drawText() after the previous end (even one that draws nothing, such as an empty
/// text), a page likewise after endPage(). endPage() on a page with no output does nothing;
/// endDocument() right after endPage() adds no blank page and with no output sends nothing.
///
/// Failures: only a document that cannot be begun, continued or finished throws
/// tarvel::Failure (from drawText() or endDocument()); odd sizes, positions and faces never
/// do. Derived classes end a document still open in their destructor with
/// endDocumentAtExit().
class PagedPrinterDevice : public PrintDevice {
public:
    PagedPrinterDevice(const PagedPrinterDevice&) = delete;
    PagedPrinterDevice& operator=(const PagedPrinterDevice&) = delete;
    ~PagedPrinterDevice() override;

    void setPosition(double x, double y) override;
    void setFontFace(const QString& face) override;
    void setFontSize(double points) override;
    void drawText(const QString& text) override;
    void endPage() override;
    void endDocument() override;
    void setDocumentName(const QString& name) override;

    /// The face last set (the certificate face at start).
    const QString& fontFace() const { return face_; }
    /// Whether a document has been begun and not yet ended.
    bool isDocumentOpen() const { return printer_ != nullptr; }
    /// Documents ended so far.
    int documentsEnded() const { return documentsEnded_; }

protected:
    PagedPrinterDevice();

    /// A device (a printer, a PDF writer) set up for the next document, named
    /// `documentName` (never empty). Throws tarvel::Failure when it cannot be.
    virtual std::unique_ptr<QPagedPaintDevice> newDocumentPrinter(const QString& documentName) = 0;
    /// Checks a document the painter has just finished. Throws tarvel::Failure.
    virtual void documentFinished(QPagedPaintDevice& printer) = 0;
    /// What failures name as the file: the printer or the PDF file.
    virtual QString describe(const QPagedPaintDevice& printer) const = 0;

    /// Ends a document still open; a failure then is written to stderr, as there is no one
    /// left to tell.
    void endDocumentAtExit() noexcept;

private:
    /// Begins the document, or the page after an endPage(), for the next output.
    void beginOutput();

    std::unique_ptr<QPagedPaintDevice> printer_;
    QPainter painter_;
    TextPainter textPainter_{TextLayer::Searchable};
    QString face_;
    QString drawnFace_;
    QString nextDocumentName_;
    double x_ = 0.0;
    double y_ = 0.0;
    double points_ = 12.0;
    bool pageHasOutput_ = false;
    bool newPagePending_ = false;
    int documentsEnded_ = 0;
};

} // namespace tarvel
