#pragma once
/// Certificates on a system printer (the default one), one print job per document.

#include "platform/qt/pagedprinterdevice.h"

#include <QPrinterInfo>

namespace tarvel {

/// Prints on `printer` with its own default paper, orientation and resolution, which are
/// never changed: page coordinates are twips from the top-left corner of its printable
/// area. Each document is one job named after the document. A printer that refuses a job
/// throws tarvel::Failure from the drawText() that begins it or from endDocument().
class QtPrinterDevice final : public PagedPrinterDevice {
public:
    explicit QtPrinterDevice(QPrinterInfo printer);
    ~QtPrinterDevice() override;

    QString printerName() const { return printer_.printerName(); }

protected:
    std::unique_ptr<QPagedPaintDevice> newDocumentPrinter(const QString& documentName) override;
    void documentFinished(QPagedPaintDevice& printer) override;
    QString describe(const QPagedPaintDevice& printer) const override;

private:
    QPrinterInfo printer_;
};

} // namespace tarvel
