#pragma once
/// The strip along the bottom of the window, in both its states: the print history, what
/// automatic printing is doing, and a print job that failed with a way to print it again.

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tarvel::ui {

class ElidedLabel;

enum class PdfChosen { No, Yes };

/// Four rows in the window's twips: the history button and the automatic printing's switch
/// and state above, the failed job's line and its reprint button (hidden while no job has
/// failed), then where certificates go (印刷先), in red with what is wrong when the printer
/// needs attention, and the button that turns to PDF files instead of paper and back; last
/// the venue page's switch, its address while it is served, and the button that shows its
/// QR code and codes. The window places the strip under the controls of its state.
class DeskStrip final : public QWidget {
    Q_OBJECT
public:
    /// Its height and width in twips.
    static constexpr int kHeightTwips = 1410;
    static constexpr int kWidthTwips = 4290;

    explicit DeskStrip(QWidget* parent);

    QPushButton& historyButton() { return *cmdRireki_; }
    QCheckBox& autoPrintSwitch() { return *chkJidou_; }
    QPushButton& reprintFailedButton() { return *cmdSaiInsatu_; }
    /// Turns from the printer to PDF files, or back; its caption says which.
    QPushButton& destinationButton() { return *cmdInsatsusaki_; }
    /// 会場ページ: serves the venue page while ticked.
    QCheckBox& venueSwitch() { return *chkKaijou_; }
    /// Opens the venue page's QR code and codes.
    QPushButton& venueButton() { return *cmdKaijou_; }

    /// The automatic printing's state, one line ("監視中 12:03:04"), with `detail` (the last
    /// run's account) on hovering; empty hides it.
    void showAutoPrintState(const QString& text, const QString& detail = QString());
    /// A job that ended without its pages: the line and its reprint button; empty hides both.
    /// A line longer than its place ends with "…" before the button and is told whole on
    /// hovering.
    void showFailedJob(const QString& text);
    /// 印刷先: "プリンター: name" or "PDF: folder", until the operator chooses another. With
    /// PDF files chosen the destination button turns back to the printer (or to what the
    /// program started with), otherwise it offers PDF files.
    void showDestination(const QString& text, PdfChosen chosen);
    /// What is wrong with the printer (stopped, out of paper, not found), after the
    /// destination and in red; empty clears it.
    void showPrinterTrouble(const QString& text);
    /// The venue page's address while it is served (shown as host and port, whole on
    /// hovering); empty while it is not.
    void showVenueAddress(const QString& url);

private:
    QPushButton* cmdRireki_ = nullptr;
    QCheckBox* chkJidou_ = nullptr;
    QLabel* lblJidou_ = nullptr;
    ElidedLabel* lblShippai_ = nullptr;
    QPushButton* cmdSaiInsatu_ = nullptr;
    ElidedLabel* lblInsatsusaki_ = nullptr;
    QPushButton* cmdInsatsusaki_ = nullptr;
    QCheckBox* chkKaijou_ = nullptr;
    ElidedLabel* lblKaijou_ = nullptr;
    QPushButton* cmdKaijou_ = nullptr;
    QString destination_;
};

} // namespace tarvel::ui
