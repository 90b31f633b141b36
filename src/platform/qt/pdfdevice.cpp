#include "platform/qt/pdfdevice.h"

#include "platform/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <filesystem>
#include <system_error>

namespace tarvel {

namespace {

const QString kAction = u"writing a certificate PDF"_qs;

// The margins that make the printable area of A4 the design page, in points.
constexpr double kSideMarginPoints = 195.0 / 20.0;
constexpr double kTopBottomMarginPoints = 289.0 / 20.0;

constexpr int kMaxNameLength = 60;

/// Dots per inch of the page's coordinates: 4 per point and 5 twips each, so whole and
/// quarter point sizes are whole pixel sizes. Qt keeps glyph metrics only for glyphs up to
/// 255 pixels; at 1200 dpi even 16 points is beyond that and every text made FreeType load
/// each of its glyphs again. At 288 dpi sizes up to about 60 points are kept. Coordinates
/// are written as decimals, so the page is no coarser for it.
constexpr int kResolution = 288;

/// The document name as a part of a file name: letters, digits, "-", "_" and "." kept,
/// anything else (separators, blanks, controls) as "_".
QString fileNamePart(const QString& documentName)
{
    QString part;
    for (const QChar c : documentName.left(kMaxNameLength)) {
        const bool kept = c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.';
        part += kept ? c : u'_';
    }
    return part;
}

void createFolder(const QString& folder)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdString()), error);
    if (error)
        throw Failure(u"creating the folder for certificate PDFs"_qs, folder,
                      QString::fromLocal8Bit(error.message()));
}

/// Whether the file ends the way a complete PDF ends.
bool isCompletePdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return false;
    const qint64 tail = std::min<qint64>(file.size(), 1024);
    file.seek(file.size() - tail);
    return file.read(tail).contains("%%EOF");
}

} // namespace

PdfDevice::PdfDevice(QString folder)
    : folder_(std::move(folder))
{
}

PdfDevice::~PdfDevice()
{
    endDocumentAtExit();
}

std::unique_ptr<QPagedPaintDevice> PdfDevice::newDocumentPrinter(const QString& documentName)
{
    createFolder(folder_);

    QDateTime stamp = QDateTime::currentDateTime();
    if (lastStamp_.isValid() && stamp <= lastStamp_)
        stamp = lastStamp_.addMSecs(1);
    QString path;
    for (;; stamp = stamp.addMSecs(1)) {
        path = folder_ + u'/' + stamp.toString(u"yyyyMMdd-HHmmss-zzz"_qs) + u'-'
               + fileNamePart(documentName) + u".pdf"_qs;
        if (!QFileInfo::exists(path))
            break;
    }
    lastStamp_ = stamp;

    // The PDF writer does not say why a file cannot be opened; find out first.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        throw Failure(kAction, path, probe.errorString());
    probe.close();

    // A PDF writer, not a QPrinter: a QPrinter asks the print system about the default
    // printer when it is made, which takes milliseconds per document with a scheduler
    // running. The file written is the same.
    auto writer = std::make_unique<QPdfWriter>(path);
    writer->setResolution(kResolution);
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(kSideMarginPoints, kTopBottomMarginPoints,
                                                kSideMarginPoints, kTopBottomMarginPoints),
                                      QPageLayout::Point));
    writer->setTitle(documentName);
    writer->setCreator(u"Tarvel"_qs);
    documentPath_ = path;
    return writer;
}

void PdfDevice::documentFinished(QPagedPaintDevice&)
{
    if (!isCompletePdf(documentPath_))
        throw Failure(kAction, documentPath_, u"the file was not written completely"_qs);
    writtenFiles_.append(documentPath_);
}

QString PdfDevice::describe(const QPagedPaintDevice&) const
{
    return documentPath_;
}

} // namespace tarvel
