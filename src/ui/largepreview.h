#pragma once
/// The large preview: the certificate big enough to place items by hand, over the blank
/// certificate, with each item's maximum width and the printer's calibration beside it.

#include "platform/qt/backdroploader.h"
#include "platform/qt/printtarget.h"
#include "printrun/runoutcome.h"
#include "printrun/session.h"
#include "ui/itemdragger.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QGroupBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace tarvel {
class Desk;
}

namespace tarvel::ui {

/// What the large preview asks of the window besides the layout.
struct DesignerLinks {
    LayoutLinks layout;
    /// Shows the backdrop (null: none) in the window's small preview too.
    std::function<void(const QImage&, double opacity)> showBackdrop;
    /// The printer's offset was saved: the window opens its printer again to use it.
    std::function<void()> printerCalibrated;
    /// The large preview was shown or hidden: the window draws into it only while shown.
    std::function<void()> visibilityChanged;
    /// Why the session's backdrop is not shown: one line and the whole account; both empty
    /// once it is shown or none is set.
    std::function<void(const QString& line, const QString& detail)> tellBackdrop;
};

/// A resizable window of its own, kept for the main window's life (so are its undo steps).
/// The backdrop is read off the GUI thread (BackdropLoader) and saved in tarvel.ini as soon
/// as a chosen one has been read; widths and places are edits of the layout, saved with it.
/// Failures of what the operator does are told in a message box; the session's backdrop
/// that cannot be shown is told through DesignerLinks::tellBackdrop and in the panel.
class LargePreview : public QDialog {
    Q_OBJECT
public:
    LargePreview(DesignerLinks links, Session& session, Desk& desk, QWidget* parent = nullptr);

    ItemDragger& dragger() { return *dragger_; }

    /// Starts reading the session's backdrop image; both previews show it once it is read,
    /// and none while it is read or when it cannot be.
    void showSessionBackdrop();
    /// Starts reading `hostImagePath`; once read it is the backdrop: shown, and saved in
    /// tarvel.ini. When it cannot be read or saved, nothing changes.
    void chooseBackdrop(const QString& hostImagePath);
    /// Whether a backdrop is being read.
    bool isLoadingBackdrop() const { return loader_.isLoading(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QGroupBox* buildItemPanel();
    QGroupBox* buildBackdropPanel();
    QGroupBox* buildCalibrationPanel();
    void selectionChanged();
    void applyBackdrop();
    void backdropRead(const QString& path, const QImage& image);
    void backdropRefused(const Failure& failure);
    void tellBackdrop(const QString& line, const QString& detail);
    void chooseBackdropFile();
    void saveOffset();
    void printCalibration();
    /// The calibration page's run ended: what became of the page.
    void calibrationPrinted(const RunOutcome& outcome);
    /// The printer the calibration is kept for, its offset, and whether it can be taken.
    void showCalibratedPrinter();
    void guarded(const std::function<void()>& handler);

    DesignerLinks links_;
    Session& session_;
    Desk& desk_;
    QImage backdrop_;
    BackdropLoader loader_;
    /// What the backdrop being read is for: the session's, or the operator's choice.
    enum class BackdropRequest { Session, Choice };
    BackdropRequest request_ = BackdropRequest::Session;
    QLabel* backdropState_ = nullptr;
    QLabel* calibrationState_ = nullptr;
    QLabel* calibratedPrinter_ = nullptr;
    QGroupBox* calibrationGroup_ = nullptr;
    ItemDragger* dragger_ = nullptr;
    QLabel* selectedItem_ = nullptr;
    QSpinBox* maxWidth_ = nullptr;
    /// While the width box is filled from the layout, its change is no edit.
    bool filling_ = false;
    QSlider* opacity_ = nullptr;
    QSpinBox* offsetX_ = nullptr;
    QSpinBox* offsetY_ = nullptr;
};

} // namespace tarvel::ui
