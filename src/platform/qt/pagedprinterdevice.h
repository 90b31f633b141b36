#pragma once
/// Pages and documents drawn as PDF in memory, then delivered whole: what the printer (a CUPS
/// destination) and the PDF files share.

#include "platform/printdevice.h"
#include "platform/qt/plainpdf.h"
#include "platform/qt/textpainter.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include <memory>
#include <optional>

namespace tarvel {

/// Positions and widths are twips from the top-left corner of the printable area (the page layout's
/// margins); sizes are points. A document is begun by the first drawText() after the
/// previous end (even one that draws nothing, such as an empty text), a page likewise after
/// endPage(). endPage() on a page with no output does nothing; endDocument() right after
/// endPage() adds no blank page and with no output sends nothing.
///
/// Each document is drawn into a PDF in memory and handed to deliver() only when it is
/// complete, so a document is either delivered whole or not at all. A document still open
/// when the device goes is dropped, never sent half drawn.
///
/// Failures: only a document that cannot be begun or delivered throws tarvel::Failure (from
/// drawText() or endDocument()); odd sizes, positions and faces never do.
class PagedPrinterDevice : public PrintDevice {
public:
    PagedPrinterDevice(const PagedPrinterDevice&) = delete;
    PagedPrinterDevice& operator=(const PagedPrinterDevice&) = delete;
    ~PagedPrinterDevice() override;

    void setPosition(double x, double y) override;
    void setFontFace(const QString& face) override;
    void setFontSize(double points) override;
    void setMaxWidth(double width) override;
    void drawText(const QString& text) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    QList<char32_t> undrawableCharacters(const QString& text) override;
    double textWidth(const QString& text) override;
    void endPage() override;
    Delivery endDocument() override;
    void abortDocument() noexcept override;
    void setDocumentName(const QString& name) override;

    /// The face last set (the certificate face at start).
    const QString& fontFace() const { return face_; }
    /// Whether a document has been begun and not yet ended.
    bool isDocumentOpen() const { return writer_ != nullptr || plainPages_.has_value(); }

    /// Documents begun from now on are kept as their texts and lines and written by
    /// PlainPdfWriter when they end, instead of being painted through Qt's PDF writer: far
    /// cheaper for documents of plain text (the award lists). A document the plain writer
    /// cannot write (a face that is not TrueType) is painted through Qt all the same.
    /// Widths are then measured as the plain writer draws them. The faces are read into
    /// `faces`, which other devices may share; null: documents are painted.
    void setPlainTextDocuments(std::shared_ptr<TrueTypeFaces> faces);
    /// Documents ended so far (delivered or handed over for delivery).
    int documentsEnded() const { return documentsEnded_; }

protected:
    PagedPrinterDevice();

    /// Twips added to every position drawn from now on (a printer's calibration).
    void setPageOffset(double x, double y);

    /// The page of the next document: its size, and margins whose top-left corner is the
    /// origin of the positions. Throws tarvel::Failure when it cannot be known.
    virtual QPageLayout pageLayout() = 0;
    /// Delivers one complete document (`pages` pages of `pdf`) named `name` (never empty).
    /// Throws tarvel::Failure when it was not delivered; then nothing of it may remain.
    virtual Delivery deliver(const QByteArray& pdf, const QString& name, int pages) = 0;

    /// A document drawn whole, not yet delivered.
    struct FinishedDocument {
        QByteArray pdf;
        QString name;
        int pages = 0;
    };
    /// Ends the document in hand; nothing when nothing was drawn since the last end.
    /// Throws tarvel::Failure when the PDF could not be completed.
    std::optional<FinishedDocument> finishDocument();

private:
    /// Begins the document, or the page after an endPage(), for the next output.
    void beginOutput();
    /// Begins painting the document in hand through Qt's PDF writer.
    void beginPainting();
    void paint(const PlainText& mark);
    void paint(const PlainLine& mark);
    /// Writes the plain document in hand (painting it when the plain writer cannot); its
    /// bytes, empty when it could not be completed.
    QByteArray writePlainDocument();
    /// Ends the painter and releases the document in hand; returns the PDF's bytes.
    QByteArray closeDocument();

    QBuffer buffer_;
    /// A device of the documents' resolution that texts are measured on, also between
    /// documents.
    QImage measuring_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
    TextPainter textPainter_{TextLayer::Searchable};
    std::unique_ptr<PlainPdfWriter> plainWriter_;
    /// The pages of a plain document in hand.
    std::optional<QList<PlainPage>> plainPages_;
    QPageLayout layout_;
    QString face_;
    QString drawnFace_;
    QString nextDocumentName_;
    QString documentName_;
    double x_ = 0.0;
    double y_ = 0.0;
    double points_ = 12.0;
    double maxWidth_ = 0.0;
    double offsetX_ = 0.0;
    double offsetY_ = 0.0;
    double dotsPerTwip_ = 0.0;
    bool pageHasOutput_ = false;
    bool newPagePending_ = false;
    int pages_ = 0;
    int documentsEnded_ = 0;
};

/// Dots per inch of the documents' coordinates: 4 per point and 5 twips each, so whole and
/// quarter point sizes are whole pixel sizes. Qt keeps glyph metrics only for glyphs up to
/// 255 pixels; at 1200 dpi even 16 points is beyond that and every text made FreeType load
/// each of its glyphs again. At 288 dpi sizes up to about 60 points are kept. Coordinates
/// are written as decimals, so the page is no coarser for it.
inline constexpr int kPdfResolution = 288;

} // namespace tarvel
