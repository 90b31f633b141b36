#pragma once
/// A run observer for tests that keeps every certificate and mark, in order.

#include "printrun/runobserver.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tarvel::testing {

/// One accepted certificate, copied.
struct Accepted {
    int raceNo = 0;
    int lane = 0;
    std::optional<int> leg;
    ItemTexts items;
};

/// Keeps every certificate and mark, and lets a test act when a race is reached.
class RecordingObserver : public RunObserver {
public:
    void raceReached(int raceNo) override
    {
        if (onRace)
            onRace(raceNo);
    }
    void certificateAccepted(const AcceptedCertificate& certificate) override
    {
        accepted.append({certificate.raceNo, certificate.lane, certificate.leg, certificate.items});
        events.append(u"print %1/%2"_qs.arg(certificate.raceNo).arg(certificate.lane));
        if (onCertificate)
            onCertificate(certificate);
    }
    void raceMarked(int raceNo) override
    {
        marked.append(raceNo);
        events.append(u"mark %1"_qs.arg(raceNo));
    }

    QList<Accepted> accepted;
    QList<int> marked;
    /// "print R/K" and "mark R" in the order they happened.
    QStringList events;
    std::function<void(int)> onRace;
    std::function<void(const AcceptedCertificate&)> onCertificate;
};

} // namespace tarvel::testing
