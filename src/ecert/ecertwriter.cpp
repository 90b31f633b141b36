#include "ecert/ecertwriter.h"

#include "ecert/ecertfolder.h"
#include "ecert/eventpdfdevice.h"
#include "ecert/filenames.h"
#include "ecert/pagesplitter.h"
#include "ecert/sheetbackdrop.h"
#include "layout/drawing.h"
#include "naming/eventtitle.h"
#include "platform/failure.h"
#include "platform/pageunits.h"
#include "platform/qt/pagesheet.h"
#include "platform/words.h"

#include <QSet>

namespace tarvel {

namespace {

/// A document's distinct characters and pages: about 60 KB of a Japanese face's glyphs in
/// every file at most, and a document that stays small in memory.
constexpr qsizetype kCharactersPerDocument = 400;
constexpr qsizetype kPagesPerDocument = 200;

void addDrawnCharacters(QSet<char32_t>& characters, const Layout& layout, const ItemTexts& texts)
{
    for (int i = 0; i < kItemCount; ++i) {
        if (layout.items[i].switchState != kSwitchOn)
            continue;
        for (const char32_t c : texts[i].toUcs4())
            characters.insert(c);
    }
}

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
    const QString name = certificate.items[kItemName].trimmed();
    return name.isEmpty() ? event : event + u' ' + name;
}

EventECertificates
ECertificateWriter::writeEvent(const QList<ECertificate>& event,
                               const std::function<bool(const ECertificate&)>& wanted)
{
    return writeEvents({event}, wanted).front();
}

QList<EventECertificates>
ECertificateWriter::writeEvents(const QList<QList<ECertificate>>& events,
                                const std::function<bool(const ECertificate&)>& wanted)
{
    QList<EventECertificates> outcomes(events.size());
    QList<Page> batch;
    QList<qsizetype> batchEvents;
    QSet<char32_t> characters;
    const auto flush = [&] {
        writeBatch(batch, outcomes);
        for (const qsizetype e : batchEvents) {
            // An event that lacks a file keeps its older ones: better an outdated file
            // than none.
            if (outcomes[e].failure)
                continue;
            try {
                outcomes[e].removed = folder_->removeStale(
                    eventFilePrefix(events[e].front().raceNo), planFileNames(events[e]));
            } catch (const Failure& failure) {
                outcomes[e].failure = failure;
            }
        }
        batch.clear();
        batchEvents.clear();
        characters.clear();
    };
    for (qsizetype e = 0; e < events.size(); ++e) {
        if (events[e].isEmpty())
            continue;
        QList<Page> pages;
        QSet<char32_t> eventCharacters;
        const QStringList planned = planFileNames(events[e]);
        for (qsizetype i = 0; i < events[e].size(); ++i) {
            if (wanted && !wanted(events[e][i]))
                continue;
            pages.append({&events[e][i], planned[i], e});
            addDrawnCharacters(eventCharacters, setup_.layout, events[e][i].items);
        }
        // Whole events share a document while its font stays small: every file carries
        // the document's font, and every document costs Qt a font embedded.
        if (!batch.isEmpty()
            && ((characters + eventCharacters).size() > kCharactersPerDocument
                || batch.size() + pages.size() > kPagesPerDocument))
            flush();
        batch += pages;
        batchEvents.append(e);
        characters += eventCharacters;
    }
    if (!batchEvents.isEmpty())
        flush();
    return outcomes;
}

void ECertificateWriter::writeBatch(const QList<Page>& pages, QList<EventECertificates>& outcomes)
{
    if (pages.isEmpty())
        return;
    const auto fail = [&](qsizetype k, const Failure& failure) {
        EventECertificates& outcome = outcomes[pages[k].event];
        ++outcome.failed;
        if (!outcome.failure)
            outcome.failure = failure;
    };
    QList<QByteArray> files;
    try {
        QList<PageDocumentInfo> info;
        const QString title = documentTitle(*pages.front().certificate);
        device_->setDocumentName(title);
        try {
            for (const Page& page : pages) {
                info.append({documentTitle(*page.certificate), setup_.meetName, setup_.createdAt});
                // Every page gets output, so that pages and certificates stay one to one
                // even for a certificate whose items are all off or empty.
                device_->drawText(QString());
                printPage(*device_, setup_.layout, page.certificate->items, PreviewOnly::No);
            }
            device_->endDocument();
        } catch (...) {
            device_->abortDocument();
            throw;
        }
        files = splitPages(device_->takeDocument(), backdrop_.get(), info, title);
    } catch (const Failure& failure) {
        for (qsizetype k = 0; k < pages.size(); ++k)
            fail(k, failure);
        return;
    }
    // Each file on its own: one that cannot be written costs no other its file.
    QList<qsizetype> staged;
    for (qsizetype k = 0; k < pages.size(); ++k) {
        try {
            folder_->stage(pages[k].relativePath, files[k]);
            staged.append(k);
        } catch (const Failure& failure) {
            fail(k, failure);
        }
    }
    const ECertificateFolder::Commit commit = folder_->commitStaged();
    for (qsizetype i = 0; i < staged.size(); ++i) {
        const qsizetype k = staged[i];
        if (commit.paths[i].isEmpty())
            fail(k, *commit.failure);
        else
            outcomes[pages[k].event].written.append(
                {pages[k].relativePath, commit.paths[i], files[k].size()});
    }
}

} // namespace tarvel
