#pragma once
/// What tarvel-batch shows and keeps while the run goes: progress on a terminal and the
/// JSON Lines log of the certificates.

#include "printrun/runobserver.h"

#include <QFile>
#include <QString>

#include <memory>

namespace tarvel::batch {

/// One log line: {"race": R, "lane": K, "leg": L or null, "items": [19 texts]}.
QByteArray logLine(const AcceptedCertificate& certificate);

class BatchObserver : public RunObserver {
public:
    enum class Progress { Hidden, Shown };

    /// `log` may be null (no log). The observer does not own it.
    BatchObserver(QFile* log, Progress progress) : log_(log), progress_(progress) {}

    void runStarted(int lastRace) override;
    void raceReached(int raceNo) override;
    void eventStarted(int raceNo, const QString& title) override;
    void certificateAccepted(const AcceptedCertificate& certificate) override;
    void raceMarked(int raceNo) override;

    /// Clears the progress line, so that the next message starts on a clean line.
    void finishProgress();

    int certificates() const { return certificates_; }
    int racesMarked() const { return racesMarked_; }

private:
    /// Rewrites the progress line: race, event in hand, certificates so far.
    void showProgress();

    QFile* log_;
    Progress progress_;
    int lastRace_ = 0;
    int raceNo_ = 0;
    QString event_;
    int certificates_ = 0;
    int racesMarked_ = 0;
    bool progressShown_ = false;
};

} // namespace tarvel::batch
