#pragma once
/// The large preview: the certificate big enough to place items by hand, over the blank
/// certificate, with each item's maximum width and the printer's calibration beside it.

#include "platform/qt/printtarget.h"
#include "printrun/session.h"
#include "ui/itemdragger.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QGroupBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace tarvel::ui {

class PrinterUse;

/// What the large preview asks of the window besides the layout.
struct DesignerLinks {
    LayoutLinks layout;
    /// Shows the backdrop (null: none) in the window's small preview too.
    std::function<void(const QImage&, double opacity)> showBackdrop;
    /// The printer's offset was saved: the window opens its printer again to use it.
    std::function<void()> printerCalibrated;
    /// The large preview was shown or hidden: the window draws into it only while shown.
    std::function<void()> visibilityChanged;
};

/// A resizable window of its own, kept for the main window's life (so are its undo steps).
/// The backdrop is saved in tarvel.ini as soon as it is chosen; widths and places are
/// edits of the layout, saved with it. Failures are told in a message box.
class LargePreview : public QDialog {
    Q_OBJECT
public:
    LargePreview(DesignerLinks links, Session& session, PrintTarget& target, PrinterUse& printer,
                 QWidget* parent = nullptr);

    ItemDragger& dragger() { return *dragger_; }

    /// Reads the session's backdrop image and shows it in both previews. Throws
    /// tarvel::Failure when the image cannot be read; the previews then show none.
    void showSessionBackdrop();
    /// Makes `hostImagePath` the backdrop: shown, and saved in tarvel.ini. Throws
    /// tarvel::Failure when it cannot be read or saved; nothing changes then.
    void chooseBackdrop(const QString& hostImagePath);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QGroupBox* buildItemPanel();
    QGroupBox* buildBackdropPanel();
    QGroupBox* buildCalibrationPanel();
    void selectionChanged();
    void applyBackdrop();
    void guarded(const std::function<void()>& handler);

    DesignerLinks links_;
    Session& session_;
    PrintTarget& target_;
    PrinterUse& printer_;
    QImage backdrop_;
    ItemDragger* dragger_ = nullptr;
    QLabel* selectedItem_ = nullptr;
    QSpinBox* maxWidth_ = nullptr;
    QSlider* opacity_ = nullptr;
    QSpinBox* offsetX_ = nullptr;
    QSpinBox* offsetY_ = nullptr;
};

} // namespace tarvel::ui
