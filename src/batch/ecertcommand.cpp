#include "batch/ecertcommand.h"

#include "batch/batchtools.h"
#include "ecert/affiliationzip.h"
#include "ecert/ecertwriter.h"
#include "ecert/filenames.h"
#include "ecert/fromledger.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/words.h"

#include <QFileInfo>
#include <QSet>

namespace tarvel::batch {

int makeECertificates(const Request& request, const Session& session)
{
    try {
        const QString ledgerPath =
            hostPath(session.where.dataFile(QString::fromUtf16(kLedgerFileName)));
        if (!QFileInfo(ledgerPath).isFile()) {
            say(Words::tr("no certificate has been recorded for this meet yet (there is no %1)")
                    .arg(ledgerPath));
            return kFailed;
        }
        Ledger ledger(ledgerPath);
        const QList<QList<ECertificate>> events = latestByEvent(ledger.entries(), request.races);
        // An affiliation is matched as its folder is named, so that any spelling that
        // makes the same folder is the same affiliation.
        const QString folder = request.affiliation
                                   ? safeName(request.affiliation->trimmed(), kMaxFolderBytes)
                                   : QString();
        const auto wanted = [&](const ECertificate& c) {
            return folder.isEmpty() || affiliationFolder(c) == folder;
        };
        const QString root = eCertificateFolder(session.where);
        ECertificateWriter writer({root, session.layout, QString(),
                                   backdropImagePath(session.where, session.backdrop),
                                   session.meet.meetName, QDateTime()});
        int written = 0;
        int removed = 0;
        QStringList folders;
        QList<ECertificateFile> files;
        for (const EventECertificates& event : writer.writeEvents(events, wanted)) {
            written += int(event.written.size());
            removed += int(event.removed.size());
            files << event.written;
            for (const ECertificateFile& file : event.written) {
                const QString name = file.relativePath.section(u'/', 0, 0);
                if (!folders.contains(name))
                    folders.append(name);
            }
        }
        if (written == 0) {
            say(Words::tr("the ledger holds no certificate of the races or affiliation chosen"));
            return kFailed;
        }
        say(Words::tr("%1 e-certificate(s) written in %2 folder(s) of %3")
                .arg(written)
                .arg(folders.size())
                .arg(root));
        if (removed > 0)
            say(Words::tr("%1 e-certificate(s) of corrected results removed").arg(removed));
        // The files are there whatever the ledger says: a ledger that cannot record them is
        // told, and the command still succeeds.
        try {
            QList<LedgerDocument> documents =
                eCertificateDocuments(files, QDateTime::currentDateTime());
            for (LedgerDocument& document : documents)
                document.requestedBy = thisDesk();
            ledger.recordDocuments(documents, thisSession());
        } catch (const Failure& failure) {
            say(failure.message());
        }
        if (request.zip) {
            folders.sort();
            for (const QString& name : std::as_const(folders))
                say(Words::tr("ZIP written: %1").arg(writeAffiliationZip(root, name)));
        }
    } catch (const Failure& failure) {
        say(failure.message());
        return kFailed;
    }
    return kDone;
}

} // namespace tarvel::batch
