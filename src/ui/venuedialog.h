#pragma once
/// The venue page's dialog: its address and the QR code of it for phones, where it listens,
/// and the access code and desk PIN to read out at the desk.

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tarvel::ui {

class VenueDesk;

/// Not modal: it stays open beside the window while the desk prints. Follows the venue
/// desk's changes; its fields hand the operator's own codes to it. GUI thread only.
class VenueDialog final : public QDialog {
    Q_OBJECT
public:
    VenueDialog(VenueDesk& venue, QWidget* parent);

private:
    void refresh();
    void addressChosen(int index);

    VenueDesk& venue_;
    QLabel* url_ = nullptr;
    QLabel* qr_ = nullptr;
    QComboBox* address_ = nullptr;
    QLineEdit* accessCode_ = nullptr;
    QLineEdit* deskPin_ = nullptr;
};

} // namespace tarvel::ui
