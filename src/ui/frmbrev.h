#pragma once
/// The main window frmBrev: its controls, the start-up sequence and the wiring of its events.

#include "desk/desk.h"
#include "layout/certificateitems.h"
#include "layout/placement.h"
#include "platform/previewtee.h"
#include "platform/qt/fontchooser.h"
#include "platform/qt/pagesheet.h"
#include "printrun/printoptions.h"
#include "printrun/session.h"
#include "ui/itemtable.h"
#include "ui/printconditioncontrols.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <utility>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvel::ui {

class AutoPrintDesk;
class CeremonyControls;
class ECertControls;
class DeskStrip;
class ElidedLabel;
class LargePreview;
class LedgerDesk;
class PreviewBox;
class RunView;
class VenueDesk;

/// The window's controls carry their names as object names; arrays of like controls append
/// the index (`txtX4`, `chkKoumoku18`, `optKyori0`; `Label80` and `Label81` for the corner
/// labels under and over the preview, `Label40`/`Label41` and `Label50`/`Label51` for the
/// headers of the two column sets of the item table).
///
/// The layout lives in the controls; the window maps it to and from `Layout` and hands the
/// rest to the session (location, meet header, item texts) and to the print run. A failure
/// in a handler is reported in a message box and abandons that handler only.
class FrmBrev : public QWidget {
    Q_OBJECT
public:
    enum class Width { Narrow, Wide };

    /// The desk is made at start(), once the meet is known, with `services`.
    explicit FrmBrev(DeskServices services = {}, QWidget* parent = nullptr);
    ~FrmBrev() override;

    /// The start-up sequence: location file, item texts, layout (created or repaired in the
    /// data folder), preview, meet header, meet name and venue, the printer's face, version.
    /// Throws tarvel::Failure when the location file is missing or short or the layout
    /// file cannot be rewritten; the window is then of no use.
    void start(const QString& locationFile = QString::fromUtf16(kLocationFile));

    /// The layout as the controls hold it.
    Layout layout() const;
    /// Puts a layout into the controls, as if the operator had typed it.
    void showLayout(const Layout& layout);
    /// The print conditions, filters, rank limits and preview-only switch as set.
    PrintOptions printOptions() const;

    Width width() const { return width_; }
    const Session& session() const { return desk_->session(); }
    /// The meet's desk; null before start().
    Desk* desk() { return desk_.get(); }
    PreviewBox& preview() { return *picBrev_; }

    /// Also sends every preview drawing to `tap` (e.g. to record it); null to stop.
    void setPreviewTap(PreviewSurface* tap);
    /// The sheet the certificates are printed on, under which the previews place the
    /// backdrop (PageSheet::design() until set, as for the PDF files).
    void setPageSheet(const PageSheet& sheet);

    /// The large preview; null before start().
    LargePreview* largePreview() { return largePreview_; }
    /// The ledger's side of the window; null before start().
    LedgerDesk* ledgerDesk() { return ledgerDesk_; }
    /// Automatic printing's side of the window; null before start().
    AutoPrintDesk* autoPrintDesk() { return autoPrintDesk_; }
    /// The venue page's side of the window (会場ページ); null before start().
    VenueDesk* venueDesk() { return venueDesk_; }

protected:
    /// With layout edits not yet saved, asks whether to save them, close without, or stay.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildNarrowPart();
    void buildWidePart();
    void connectHandlers();

    // The event handlers.
    void drawPreview();
    void freeTextChanged(int k);
    void cmdInsatu_Click();
    void cmdTest_Click();
    void cmdFont_Click();
    void cmdGamen_Click();
    void cmdKakudai_Click();
    void cmdRireki_Click();
    void cmdSaiInsatu_Click();
    /// PDF files in a folder the operator chooses instead of paper, or the printer again.
    void cmdInsatsusaki_Click();

    void buildLargePreview();
    void buildAutoPrintDesk();
    void buildDesk(Session session);
    /// Automatic runs print with the controls as they are now.
    RunRequest watchRequest();
    void keepWatchRequestCurrent();
    /// Puts an item's place and maximum width into the controls; the previews redraw once.
    void placeItem(const Placement& placement);
    void routePreviews();
    /// The status line: characters of the certificate in hand that no face can draw.
    void showUndrawable(const QStringList& reports);

    void saveLayout();
    void showWidth(Width width);
    /// Sets the outer size (frame included) in twips; the window keeps its place.
    void setOuterSize(int widthTwips, int heightTwips);
    PreviewSurface& previewTarget();
    /// Runs one handler; a tarvel::Failure abandons it with a message box.
    void guarded(const std::function<void()>& handler);

    DeskServices services_;
    /// The meet's desk: the session, the printer, the runs.
    std::unique_ptr<Desk> desk_;
    RunView* runView_ = nullptr;
    FontChooser fontChooser_;
    std::unique_ptr<PreviewTee> tee_;
    PreviewSurface* tap_ = nullptr;
    LargePreview* largePreview_ = nullptr;
    DeskStrip* strip_ = nullptr;
    CeremonyControls* ceremony_ = nullptr;   ///< 表彰者一覧 and its destination
    ECertControls* eCertificates_ = nullptr; ///< 電子賞状も作る
    /// The ledger's side of the window; made with the desk.
    LedgerDesk* ledgerDesk_ = nullptr;
    AutoPrintDesk* autoPrintDesk_ = nullptr;
    VenueDesk* venueDesk_ = nullptr;
    /// The items' maximum widths: only the large preview shows and edits them.
    std::array<int, kItemCount> maxWidths_{};
    /// The layout as last loaded or saved: closing asks about anything else.
    Layout savedLayout_;
    /// The status line's parts: the characters no face can draw, and why the backdrop is
    /// not shown (line, whole account).
    QStringList undrawable_;
    std::pair<QString, QString> backdropNotice_;
    /// While the controls are being filled at start-up, the one drawing comes after.
    bool started_ = false;
    Width width_ = Width::Narrow;

    QPushButton* cmdInsatu_ = nullptr;
    QPushButton* cmdGamen_ = nullptr;
    QPushButton* cmdTest_ = nullptr;
    QPushButton* cmdFont_ = nullptr;
    QPushButton* cmdKakudai_ = nullptr;
    ElidedLabel* lblJoutai_ = nullptr;
    QCheckBox* chkInsatu_ = nullptr;
    ElidedLabel* lblTaikai_ = nullptr;
    ElidedLabel* lblBasho_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    PreviewBox* picBrev_ = nullptr;
    std::array<QLineEdit*, 2> txtJun_{};
    ItemTable items_;
    PrintConditionControls conditions_;

    /// Everything only the wide window shows; hidden while narrow, so that no control is
    /// cut in half at the narrow window's edge.
    QList<QWidget*> widePart_;
};

} // namespace tarvel::ui
