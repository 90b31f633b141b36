#pragma once
/// Several observers of one run, called in turn.

#include "printrun/runobserver.h"

#include <QList>

#include <initializer_list>

namespace tarvel {

/// Passes every call to each observer given (null ones left out), in the order given. A
/// stop is requested when any asks for it; of the futures returned for a delivered
/// document the run waits for all.
class RunObservers final : public RunObserver {
public:
    RunObservers(std::initializer_list<RunObserver*> observers)
    {
        for (RunObserver* observer : observers) {
            if (observer)
                observers_.append(observer);
        }
    }

    void runStarted(int lastRace) override
    {
        for (RunObserver* observer : observers_)
            observer->runStarted(lastRace);
    }
    void raceReached(int raceNo) override
    {
        for (RunObserver* observer : observers_)
            observer->raceReached(raceNo);
    }
    void eventStarted(int raceNo, const QString& title) override
    {
        for (RunObserver* observer : observers_)
            observer->eventStarted(raceNo, title);
    }
    void certificateAccepted(const AcceptedCertificate& certificate) override
    {
        for (RunObserver* observer : observers_)
            observer->certificateAccepted(certificate);
    }
    std::shared_future<void> documentDelivered(const DeliveredDocument& document) override
    {
        QList<std::shared_future<void>> pending;
        for (RunObserver* observer : observers_) {
            std::shared_future<void> done = observer->documentDelivered(document);
            if (done.valid())
                pending.append(done);
        }
        if (pending.size() <= 1)
            return pending.isEmpty() ? std::shared_future<void>() : pending.first();
        // Rare (two recorders): one future that waits for all, on a thread of its own.
        return std::async(std::launch::async,
                          [pending] {
                              for (const std::shared_future<void>& done : pending)
                                  done.wait();
                          })
            .share();
    }
    void raceMarked(int raceNo) override
    {
        for (RunObserver* observer : observers_)
            observer->raceMarked(raceNo);
    }
    bool stopRequested() const override
    {
        for (const RunObserver* observer : observers_) {
            if (observer->stopRequested())
                return true;
        }
        return false;
    }

private:
    QList<RunObserver*> observers_;
};

} // namespace tarvel
