#include "web/deskreprinter.h"

#include "desk/desk.h"
#include "platform/failure.h"

#include <QMetaObject>

#include <atomic>
#include <memory>

namespace tarvel::web {

Reprinter deskReprinter(Desk& desk)
{
    // A reprint handed over but not begun holds the printer too: the claim is only taken on
    // the desk's thread, and two pages asking at once must not both hear "taken".
    auto handedOver = std::make_shared<std::atomic<bool>>(false);
    return [&desk, handedOver](const QList<LedgerEntry>& entries, const std::string& remote) {
        if (desk.running() || handedOver->exchange(true))
            return ReprintAnswer::Busy;
        QMetaObject::invokeMethod(
            &desk,
            [&desk, handedOver, entries, requestedBy = QString::fromStdString(remote)] {
                RunRequest request = desk.newRequest(RunKind::Reprint);
                request.reprint = entries;
                request.requestedBy = requestedBy;
                try {
                    desk.start(std::move(request));
                } catch (const Failure&) {
                    // The operator took the printer in the meantime: nothing is printed, as
                    // the page's "busy" would have said a moment later.
                }
                *handedOver = false;
            },
            Qt::QueuedConnection);
        return ReprintAnswer::Accepted;
    };
}

} // namespace tarvel::web
