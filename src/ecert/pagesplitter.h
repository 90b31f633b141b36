#pragma once
/// One PDF document's pages made documents of their own (qpdf), the blank certificate put
/// under each: how an event drawn once becomes one file per certificate.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace tarvel {

class SheetBackdrop;

/// The document information of one page's document.
struct PageDocumentInfo {
    QString title;
    QString author;
    QDateTime created;
};

/// Splits `pdf` into one document per page, in page order: the page as it is (everything
/// it uses: its fonts as embedded, its images), `backdrop`'s form drawn beneath it fitted
/// to the page (none when null; it is copied in, never changed), its `info` entry as the
/// document's title, author and creation date, and the viewer asked to show the title.
/// `documentName` names `pdf` in failures. Blocks for the time it takes; any thread, one
/// backdrop used by one thread at a time. Throws tarvel::Failure when `pdf` cannot be read
/// or does not have one page per entry of `info`.
QList<QByteArray> splitPages(const QByteArray& pdf, SheetBackdrop* backdrop,
                             const QList<PageDocumentInfo>& info, const QString& documentName);

} // namespace tarvel
