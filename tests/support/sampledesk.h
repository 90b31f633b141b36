#pragma once
// The sample meet at a desk whose printer is a folder of PDF files: what the tests of the
// desk's readers (the board, the reprints) start from. For test binaries that link the desk.

#include "desk/desk.h"
#include "platform/qt/pdfdevice.h"
#include "samplemeet.h"
#include "tempmeet.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace tarvel::testing {

/// Writes the sample meet, makes its folder the current one and opens a desk there.
class SampleMeetDesk {
public:
    SampleMeetDesk()
    {
        sample::writeSampleMeet(meet_.builder());
        QDir::setCurrent(meet_.builder().workDir());
        DeskServices services;
        services.openTarget = [folder = pdfs_.path()](const DataLocations&) {
            return openPdfTarget(folder);
        };
        desk_ = std::make_unique<Desk>(startSession(), services);
    }

    Desk& desk() { return *desk_; }

    /// One run of the ready races; their certificates are in the ledger when it returns.
    RunOutcome printReadyRaces()
    {
        RunOutcome outcome = desk_->runAndWait(desk_->newRequest(RunKind::ReadyRaces));
        desk_->finishRecording();
        return outcome;
    }

private:
    TempMeet meet_;
    QTemporaryDir pdfs_;
    std::unique_ptr<Desk> desk_;
};

} // namespace tarvel::testing
