#include "ecert/ecertwriter.h"

#include "ecert/ecertfolder.h"
#include "ecert/eventpdfdevice.h"
#include "ecert/filenames.h"
#include "ecert/pagesplitter.h"
#include "ecert/sheetbackdrop.h"
#include "layout/drawing.h"
#include "naming/eventtitle.h"
#include "platform/failure.h"
#include "platform/qt/pagesheet.h"
#include "platform/words.h"

namespace tarvel {

namespace {

constexpr double kTwipsPerPoint = 20.0;

} // namespace

ECertificateWriter::ECertificateWriter(ECertificateSetup setup)
    : setup_(std::move(setup))
    , folder_(std::make_unique<ECertificateFolder>(setup_.folder))
    , device_(std::make_unique<EventPdfDevice>())
{
    if (!setup_.createdAt.isValid())
        setup_.createdAt = QDateTime::currentDateTime();
    if (!setup_.fontFace.isEmpty())
        device_->setFontFace(setup_.fontFace);
    if (!setup_.backdropPath.isEmpty()) {
        const PageSheet sheet = PageSheet::design();
        backdrop_ = SheetBackdrop::read(setup_.backdropPath, sheet.size.width() / kTwipsPerPoint,
                                        sheet.size.height() / kTwipsPerPoint);
    }
}

ECertificateWriter::~ECertificateWriter() = default;

QString ECertificateWriter::documentTitle(const ECertificate& certificate)
{
    const QString event =
        certificate.eventTitle.isEmpty() ? raceLabel(certificate.raceNo) : certificate.eventTitle;
    const QString name = certificate.items[kECertNameItem].trimmed();
    return name.isEmpty() ? event : event + u' ' + name;
}

EventECertificates
ECertificateWriter::writeEvent(const QList<ECertificate>& event,
                               const std::function<bool(const ECertificate&)>& wanted)
{
    EventECertificates outcome;
    if (event.isEmpty())
        return outcome;
    const QStringList planned = planFileNames(event);
    QList<qsizetype> chosen;
    QList<PageDocumentInfo> info;
    const QString title = documentTitle(event.front());
    device_->setDocumentName(title);
    try {
        for (qsizetype i = 0; i < event.size(); ++i) {
            if (wanted && !wanted(event[i]))
                continue;
            chosen.append(i);
            info.append({documentTitle(event[i]), setup_.meetName, setup_.createdAt});
            // Every page gets output, so that pages and certificates stay one to one even
            // for a certificate whose items are all off or empty.
            device_->drawText(QString());
            printPage(*device_, setup_.layout, event[i].items, PreviewOnly::No);
        }
        if (chosen.isEmpty())
            return outcome;
        device_->endDocument();
    } catch (...) {
        device_->abortDocument();
        throw;
    }
    const QList<QByteArray> files =
        splitPages(device_->takeDocument(), backdrop_.get(), info, title);
    for (qsizetype k = 0; k < chosen.size(); ++k) {
        const QString& relative = planned[chosen[k]];
        const QString path = folder_->write(relative, files[k]);
        outcome.written.append({relative, path, files[k].size()});
    }
    outcome.removed = folder_->removeStale(eventFilePrefix(event.front().raceNo), planned);
    return outcome;
}

} // namespace tarvel
