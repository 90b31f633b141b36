// The window's side of the meet's desk: print runs, automatic printing, the ledger's strip and
// the large preview's layout editing, wired to the desk made at start.
#include "ui/frmbrev.h"

#include "platform/paths.h"
#include "ui/autoprintdesk.h"
#include "ui/deskstrip.h"
#include "ui/failurereport.h"
#include "ui/largepreview.h"
#include "ui/ledgerdesk.h"
#include "ui/previewbox.h"
#include "ui/runview.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QPushButton>

#include <utility>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

void FrmBrev::cmdInsatu_Click()
{
    if (desk_->running())
        return; // the buttons are off meanwhile; a click queued before that does nothing
    saveLayout();
    RunRequest request = desk_->newRequest(RunKind::ReadyRaces);
    request.options = printOptions();
    request.showPreview = true;
    desk_->start(std::move(request));
}

void FrmBrev::cmdTest_Click()
{
    if (desk_->running())
        return;
    saveLayout();
    RunRequest request = desk_->newRequest(RunKind::TestPage);
    request.options.previewOnly = chkInsatu_->isChecked() ? PreviewOnly::Yes : PreviewOnly::No;
    desk_->start(std::move(request));
}

void FrmBrev::cmdRireki_Click()
{
    if (ledgerDesk_)
        ledgerDesk_->openHistory();
}

void FrmBrev::cmdSaiInsatu_Click()
{
    if (ledgerDesk_)
        ledgerDesk_->reprintFailed();
}

void FrmBrev::cmdInsatsusaki_Click()
{
    if (desk_->pdfChosen()) {
        desk_->choosePrinter();
        return;
    }
    // Qt's own dialog: it speaks the operator's language and tests can drive it.
    QFileDialog dialog(this, tr("Folder for the PDF files instead of paper"),
                       hostPath(session().where.dataDir));
    dialog.setObjectName(u"pdfFolderDialog"_s);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    desk_->choosePdfFiles(dialog.selectedFiles().first());
}

void FrmBrev::buildLargePreview()
{
    DesignerLinks links;
    links.layout.layout = [this] { return layout(); };
    links.layout.place = [this](const Placement& placement) { placeItem(placement); };
    links.showBackdrop = [this](const QImage& image, double opacity) {
        picBrev_->surface().setBackdrop(image, opacity);
    };
    links.printerCalibrated = [this] { desk_->reopenTarget(); };
    links.visibilityChanged = [this] {
        routePreviews();
        drawPreview();
    };
    links.tellBackdrop = [this](const QString& line, const QString& detail) {
        backdropNotice_ = {line, detail};
        showUndrawable(undrawable_);
    };
    largePreview_ = new LargePreview(std::move(links), desk_->session(), *desk_, this);
    largePreview_->dragger().surface().setSheet(picBrev_->surface().sheet());
    // Read off the GUI thread: the window is there at once, the backdrop when it arrives.
    largePreview_->showSessionBackdrop();
}

void FrmBrev::setPageSheet(const PageSheet& sheet)
{
    picBrev_->surface().setSheet(sheet);
    if (largePreview_)
        largePreview_->dragger().surface().setSheet(sheet);
}

void FrmBrev::buildDesk(Session session)
{
    desk_ = std::make_unique<Desk>(std::move(session), services_);
    desk_->setFontFace(picBrev_->surface().fontFace());
    connect(desk_.get(), &Desk::previewReady, this, [this] {
        const PreviewPicture picture = desk_->takePreview();
        if (!picture.isEmpty())
            picture.replay(previewTarget());
    });
    connect(desk_.get(), &Desk::layoutSaved, this,
            [this](const Layout& saved) { savedLayout_ = saved; });
    runView_ = new RunView(*this, *desk_);
    strip_->showDestination(desk_->targetDescription(),
                            desk_->pdfChosen() ? PdfChosen::Yes : PdfChosen::No);
    connect(desk_.get(), &Desk::targetKnown, this, [this](const std::optional<Failure>& trouble) {
        strip_->showDestination(desk_->targetDescription(),
                                desk_->pdfChosen() ? PdfChosen::Yes : PdfChosen::No);
        if (trouble)
            strip_->showPrinterTrouble(failureText(*trouble));
    });
    connect(desk_.get(), &Desk::printerNeedsAttention, this, [this](const PrinterNotice& notice) {
        strip_->showPrinterTrouble(describePrinterNotice(notice));
    });
    // Each run asks again: a printer still stopped is told again after it.
    connect(desk_.get(), &Desk::runStarted, this,
            [this] { strip_->showPrinterTrouble(QString()); });
    connect(runView_, &RunView::undrawableFound, this, &FrmBrev::showUndrawable);
}

RunRequest FrmBrev::watchRequest()
{
    RunRequest request = desk_->newRequest(RunKind::ReadyRaces);
    request.session.layout = layout();
    request.options = printOptions();
    request.saveLayoutFirst = true;
    request.showPreview = true;
    return request;
}

void FrmBrev::keepWatchRequestCurrent()
{
    if (desk_ && desk_->watching())
        desk_->setWatchRequest(watchRequest());
}

void FrmBrev::buildAutoPrintDesk()
{
    AutoPrintLinks links;
    links.watchRequest = [this] { return watchRequest(); };
    links.runGoing = [this](RunGoing going) {
        // What would touch the printer in the middle of the run's document.
        for (QPushButton* button : {cmdInsatu_, cmdTest_, cmdFont_, &strip_->destinationButton()})
            button->setEnabled(going == RunGoing::No);
    };
    autoPrintDesk_ =
        new AutoPrintDesk(*this, *desk_, *strip_, *conditions_.optJohken, std::move(links));
}

void FrmBrev::placeItem(const Placement& placement)
{
    items_.placeQuietly(placement.item, placement.x, placement.y);
    maxWidths_[placement.item] = placement.maxWidth;
    drawPreview();
}

} // namespace tarvel::ui
