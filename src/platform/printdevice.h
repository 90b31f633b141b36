#pragma once
/// A printer as the certificate run sees it: pages grouped into documents (print jobs).

#include "platform/surface.h"

namespace tarvel {

/// Positions are twips from the top-left corner of the printable area. A document begins
/// with the first output after the previous end; a document still open when the device
/// goes is ended then.
class PrintDevice : public Surface {
public:
    /// The page in hand is finished; the next output begins a new page. Does not begin a
    /// page itself.
    virtual void endPage() = 0;
    /// The document is finished and sent. Right after endPage() it adds no blank page; with
    /// nothing drawn since the last end it sends nothing.
    virtual void endDocument() = 0;
    /// A short name for the next document, e.g. "race-042" or "test"; used where documents
    /// become files. Devices that do not use it ignore it.
    virtual void setDocumentName(const QString& name) { (void)name; }
};

} // namespace tarvel
