#include "batch/ecertcommand.h"

#include "batch/batchtools.h"
#include "ecert/filenames.h"
#include "ecert/fromledger.h"
#include "ecert/ledgermaker.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/words.h"

#include <QFileInfo>

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
        // An affiliation is matched as its folder is named, so that any spelling that
        // makes the same folder is the same affiliation.
        ECertificateOrder order;
        order.races = request.races;
        if (request.affiliation)
            order.affiliationFolder = safeName(request.affiliation->trimmed(), kMaxFolderBytes);
        order.zip = request.zip;
        const QString root = eCertificateFolder(session.where);
        Ledger ledger(ledgerPath);
        const ECertificatesMade made = tarvel::makeECertificates(
            ledger,
            {root, session.layout, QString(), backdropImagePath(session.where, session.backdrop),
             session.meet.meetName, QDateTime()},
            order, thisDesk());
        if (made.written == 0 && !made.failure) {
            say(Words::tr("the ledger holds no certificate of the races or affiliation chosen"));
            return kFailed;
        }
        say(Words::tr("%1 e-certificate(s) written in %2 folder(s) of %3")
                .arg(made.written)
                .arg(made.folders.size())
                .arg(root));
        if (made.removed > 0)
            say(Words::tr("%1 e-certificate(s) of corrected results removed").arg(made.removed));
        // The files are there whatever the ledger says: a ledger that cannot record them is
        // told, and the command still succeeds.
        if (made.ledgerFailure)
            say(made.ledgerFailure->message());
        for (const QString& zip : made.zips)
            say(Words::tr("ZIP written: %1").arg(zip));
        if (made.failure) {
            if (made.failed > 0)
                say(Words::tr("%1 e-certificate(s) could not be written").arg(made.failed));
            say(made.failure->message());
            if (request.zip)
                say(Words::tr("no ZIP was made: it would lack files"));
            return kFailed;
        }
    } catch (const Failure& failure) {
        say(failure.message());
        return kFailed;
    }
    return kDone;
}

} // namespace tarvel::batch
