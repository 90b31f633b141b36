#pragma once
/// The window's print commands, the print run and the test page, and what they tell the
/// operator afterwards.

#include "platform/previewsurface.h"
#include "platform/qt/printtarget.h"
#include "printrun/printoptions.h"
#include "printrun/runobserver.h"
#include "printrun/session.h"

#include <QCoreApplication>

class QWidget;

namespace tarvel::ui {

class PrintCommands {
    Q_DECLARE_TR_FUNCTIONS(PrintCommands)
public:
    /// One print run with the progress dialog, then its account in one message over
    /// `parent`: what was printed and marked, the events left unprinted and why, those the
    /// filters left out; or that no race was ready. A failure that stopped the run is told
    /// with the account up to it. A run that could not begin (the meet held by another
    /// run, a rank limit that is not a number) throws tarvel::Failure. `recorder` (may be
    /// null) observes the run beside the progress dialog. Returns one line per certificate
    /// with characters no installed face could draw.
    static QStringList printRun(QWidget* parent, Session& session, const PrintOptions& options,
                                PrintTarget& target, PreviewSurface& preview,
                                RunObserver* recorder);

    /// Prints the certificate in hand as a document of its own, one page, sent at once;
    /// nothing with preview-only. Throws tarvel::Failure when it was not delivered.
    static void printTestPage(QWidget* parent, const Session& session, PreviewOnly previewOnly,
                              PrintTarget& target);
};

} // namespace tarvel::ui
