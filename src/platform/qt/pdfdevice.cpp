#include "platform/qt/pdfdevice.h"

#include "platform/failure.h"
#include "platform/newfile.h"
#include "platform/pageunits.h"
#include "platform/words.h"

#include <QFileInfo>
#include <QMarginsF>
#include <QPageSize>

namespace tarvel {

namespace {

constexpr double kSideMarginPoints = double(kSideMarginTwips) / kTwipsPerPoint;
constexpr double kTopBottomMarginPoints = double(kTopBottomMarginTwips) / kTwipsPerPoint;

constexpr int kMaxNameLength = 60;

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

} // namespace

PdfDevice::PdfDevice(QString folder) : folder_(std::move(folder)) {}

QPageLayout PdfDevice::designPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(kSideMarginPoints, kTopBottomMarginPoints, kSideMarginPoints,
                                 kTopBottomMarginPoints),
                       QPageLayout::Point);
}

QPageLayout PdfDevice::pageLayout()
{
    return designPageLayout();
}

Delivery PdfDevice::deliver(const QByteArray& pdf, const QString& name, int pages)
{
    QDateTime stamp = QDateTime::currentDateTime();
    if (lastStamp_.isValid() && stamp <= lastStamp_)
        stamp = lastStamp_.addMSecs(1);
    const QString part = fileNamePart(name);
    // A name taken (another desk's file of the same millisecond) moves on by a millisecond.
    const QString path = writeNewFileInFolder(
        folder_,
        [&](int attempt) {
            lastStamp_ = stamp.addMSecs(attempt);
            return lastStamp_.toString(u"yyyyMMdd-HHmmss-zzz"_qs) + u'-' + part + u".pdf"_qs;
        },
        pdf, Words::tr("writing a certificate PDF"));
    writtenFiles_.append(path);
    return {true, path, 0, pages};
}

} // namespace tarvel
