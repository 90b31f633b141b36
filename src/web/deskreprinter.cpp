#include "web/deskreprinter.h"

#include "desk/desk.h"
#include "platform/failure.h"

#include <QMetaObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>

namespace tarvel::web {

namespace {

/// How often a reprint waiting for the printer asks for it again.
constexpr std::chrono::milliseconds kAskAgain{250};

/// Starts `request` on `desk` (its thread) as soon as the printer is free. The page already
/// answered that the reprint is accepted: a run the operator began in the meantime is waited
/// for, never a reason to drop it. `handedOver` stays set until the reprint has begun.
void startWhenFree(Desk& desk, RunRequest request,
                   const std::shared_ptr<std::atomic<bool>>& handedOver)
{
    try {
        desk.start(request);
    } catch (const Failure& failure) {
        if (failure.kind() == Failure::Kind::Busy) {
            QTimer::singleShot(kAskAgain, &desk, [&desk, request, handedOver] {
                startWhenFree(desk, request, handedOver);
            });
            return;
        }
        // Nothing else stops a start before the run; a run that fails tells its outcome
        // through Desk::runFinished as any run does.
    }
    *handedOver = false;
}

} // namespace

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
                startWhenFree(desk, std::move(request), handedOver);
            },
            Qt::QueuedConnection);
        return ReprintAnswer::Accepted;
    };
}

} // namespace tarvel::web
