#pragma once
/// Writing e-certificates: each certificate as it was printed, a PDF file of its own on its
/// blank certificate, in a folder per affiliation.

#include "ecert/ecertificate.h"
#include "layout/certificateitems.h"
#include "platform/failure.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tarvel {

class SheetBackdrop;
class ECertificateFolder;
class EventPdfDevice;

/// What every e-certificate of a writer shares.
struct ECertificateSetup {
    /// The e-certificates folder, a path of this machine.
    QString folder;
    /// Today's layout and the face the certificates are printed in (empty: the certificate
    /// face).
    Layout layout;
    QString fontFace;
    /// The blank certificate, a path of this machine; empty for none.
    QString backdropPath;
    /// The documents' author.
    QString meetName;
    /// The documents' creation date; invalid: when the writer is made.
    QDateTime createdAt;
};

/// One file written.
struct ECertificateFile {
    QString relativePath; ///< "<affiliation>/<name>.pdf"
    QString path;         ///< on this machine
    qint64 bytes = 0;
};

/// What became of one event's e-certificates.
struct EventECertificates {
    QList<ECertificateFile> written;
    /// Files of the event it no longer has (a corrected result renamed them), removed.
    QStringList removed;
    /// Certificates whose files could not be written (an older file of the name stays), and
    /// the first reason. Files of an event with a failure are not removed as stale.
    int failed = 0;
    std::optional<Failure> failure;
};

/// Draws an event's certificates as one document through the printed page's drawing
/// routine (no calibration), splits it into one PDF per certificate with the blank
/// certificate beneath (pagesplitter.h), and writes each whole, replacing its older self
/// (ecertfolder.h). File names come from planFileNames() over the whole event.
/// Blocking; any thread (Qt draws PDF off the GUI thread), one thread at a time.
class ECertificateWriter {
public:
    /// Reads the backdrop once. Throws tarvel::Failure when it cannot be read.
    explicit ECertificateWriter(ECertificateSetup setup);
    ~ECertificateWriter();
    ECertificateWriter(const ECertificateWriter&) = delete;
    ECertificateWriter& operator=(const ECertificateWriter&) = delete;

    /// Writes the e-certificates of one event: `event` holds all its latest certificates
    /// (one race number), of which those `wanted` says yes to are written (all when empty).
    /// Files of the event not among its names any more are removed afterwards, so that a
    /// superseded certificate's file goes. A file that cannot be written (a full disk, a
    /// folder that cannot be written) is counted in the outcome with its reason, and the
    /// others are written all the same, each whole; none is left half written.
    EventECertificates writeEvent(const QList<ECertificate>& event,
                                  const std::function<bool(const ECertificate&)>& wanted = {});

    /// writeEvent() for several events, in order, faster: consecutive events are drawn as
    /// one document while its distinct characters stay few (every file carries the
    /// document's font subset). Returns one outcome per event; a failure is kept in its
    /// event's outcome, as by writeEvent().
    QList<EventECertificates>
    writeEvents(const QList<QList<ECertificate>>& events,
                const std::function<bool(const ECertificate&)>& wanted = {});

    /// The document title of a certificate: its event's title and the name printed.
    static QString documentTitle(const ECertificate& certificate);

private:
    /// A page of a document: the certificate, its file and its event's index.
    struct Page {
        const ECertificate* certificate = nullptr;
        QString relativePath;
        qsizetype event = 0;
    };
    void writeBatch(const QList<Page>& pages, QList<EventECertificates>& outcomes);

    ECertificateSetup setup_;
    std::unique_ptr<SheetBackdrop> backdrop_;
    std::unique_ptr<ECertificateFolder> folder_;
    std::unique_ptr<EventPdfDevice> device_;
};

} // namespace tarvel
