#include "ui/printcommands.h"

#include "layout/drawing.h"
#include "printrun/printrun.h"
#include "printrun/runaccount.h"
#include "printrun/runobservers.h"
#include "ui/failurereport.h"
#include "ui/printprogress.h"

#include <QDir>
#include <QMessageBox>

namespace tarvel::ui {

namespace {

/// Events named in the window's message; the rest are counted.
constexpr int kListedEvents = 8;

} // namespace

QStringList PrintCommands::printRun(QWidget* parent, Session& session, const PrintOptions& options,
                                    PrintTarget& target, PreviewSurface& preview,
                                    RunObserver* recorder)
{
    RunSummary summary;
    QString stoppedBy;
    QStringList undrawable;
    {
        PrintProgress progress(parent);
        RunObservers observers{&progress, recorder};
        try {
            summary = PrintRun(session, options, *target.device, &preview, &observers);
        } catch (const RunStopped& stopped) {
            summary = stopped.summary();
            stoppedBy = failureText(stopped);
        }
        undrawable = progress.undrawable();
    }

    QStringList text;
    if (!stoppedBy.isEmpty())
        text << stoppedBy << QString() << tr("The run stopped there. Until then:");
    text << describeRun(summary, options.previewOnly, kListedEvents);
    if (target.kind == PrintTargetKind::PdfFiles && summary.pages > 0)
        text << QString()
             << tr("There is no printer: the certificates were written as PDF files to %1")
                    .arg(QDir::toNativeSeparators(target.where));
    const bool trouble = !stoppedBy.isEmpty() || hasUnprintedEvents(summary);
    QMessageBox box(trouble ? QMessageBox::Warning : QMessageBox::Information, u"Tarvel"_qs,
                    text.join(u'\n'), QMessageBox::Ok, parent);
    box.setObjectName(u"runAccount"_qs);
    box.exec();
    return undrawable;
}

void PrintCommands::printTestPage(QWidget* parent, const Session& session, PreviewOnly previewOnly,
                                  PrintTarget& target)
{
    if (previewOnly == PreviewOnly::Yes)
        return;
    target.device->setDocumentName(tr("Test page"));
    printPage(*target.device, session.layout, session.itemText, PreviewOnly::No);
    const Delivery delivery = target.device->endDocument();
    if (target.kind == PrintTargetKind::PdfFiles && delivery.sent)
        QMessageBox::information(
            parent, u"Tarvel"_qs,
            tr("There is no printer: the test page was written as a PDF file.\n\n%1")
                .arg(QDir::toNativeSeparators(delivery.destination)));
}

} // namespace tarvel::ui
