#pragma once
/// A printer as the certificate run sees it: pages grouped into documents (print jobs).

#include "platform/surface.h"

#include <QString>

#include <deque>
#include <exception>
#include <optional>

namespace tarvel {

/// What became of one document.
struct Delivery {
    /// False when nothing had been drawn since the last end: nothing was sent.
    bool sent = false;
    /// Where it went: the printer (CUPS destination), or the PDF file written.
    QString destination;
    /// The scheduler's job id; 0 for a file.
    int jobId = 0;
    int pages = 0;
};

enum class DeliveryWait { No, Yes };

/// What became of a delivered document: a printer's job state as the scheduler tells it,
/// or Written for a PDF file.
enum class JobState { Pending, Held, Processing, Stopped, Canceled, Aborted, Completed, Written };

/// Positions are twips from the top-left corner of the printable area. A document begins
/// with the first output after the previous end. A document is delivered only by
/// endDocument() or a delivery begun with beginDelivery(): a job the scheduler accepted, or a
/// file completely written and closed.
class PrintDevice : public Surface {
public:
    /// A hairline from (x1, y1) to (x2, y2), in the same units as positions: the marks of
    /// the calibration page.
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    /// The page in hand is finished; the next output begins a new page. Does not begin a
    /// page itself.
    virtual void endPage() = 0;
    /// The document is finished and delivered; returns once it is. Right after endPage() it
    /// adds no blank page; with nothing drawn since the last end it sends nothing
    /// (Delivery::sent is false). Throws tarvel::Failure when the document could not be
    /// delivered; then nothing of it was (no job, no file left behind). Deliveries begun
    /// before are finished first.
    virtual Delivery endDocument() = 0;
    /// Drops whatever was drawn since the last end, sending nothing. Never throws.
    virtual void abortDocument() noexcept = 0;
    /// The name of the next document: the print job's title, the PDF file's name.
    /// Devices that do not use it ignore it.
    virtual void setDocumentName(const QString& name) { (void)name; }
    /// Called from another thread to end a wait on the printer (the operator pressed 中止,
    /// a stop signal came): the document in hand then fails at once instead of waiting for
    /// an answer, and so do those begun until the device's next document; what was
    /// delivered before stays delivered. Devices that never wait ignore it.
    virtual void cancelWaiting() noexcept {}

    /// Ends the document like endDocument(), but a device that can deliver in the
    /// background (a print scheduler) returns at once, so the next document can be drawn
    /// meanwhile. Each delivery begun is finished, in order, by takeDelivery(). By default
    /// the document is delivered here and now.
    virtual void beginDelivery();
    /// The outcome of the oldest delivery begun and not yet taken, rethrowing its failure;
    /// nothing when none is pending, or when it is still under way and `wait` is No.
    virtual std::optional<Delivery> takeDelivery(DeliveryWait wait);

private:
    struct Outcome {
        Delivery delivery;
        std::exception_ptr failure;
    };
    std::deque<Outcome> delivered_;
};

inline void PrintDevice::beginDelivery()
{
    try {
        delivered_.push_back({endDocument(), nullptr});
    } catch (...) {
        delivered_.push_back({Delivery(), std::current_exception()});
    }
}

inline std::optional<Delivery> PrintDevice::takeDelivery(DeliveryWait)
{
    if (delivered_.empty())
        return std::nullopt;
    const Outcome outcome = delivered_.front();
    delivered_.pop_front();
    if (outcome.failure)
        std::rethrow_exception(outcome.failure);
    return outcome.delivery;
}

} // namespace tarvel
