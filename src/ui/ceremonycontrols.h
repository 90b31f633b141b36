#pragma once
/// The window's award ceremony list switch (表彰者一覧) and its destination, in the wide part.

#include "ceremony/ceremonydestination.h"
#include "platform/qt/cupsconnection.h"
#include "platform/serialworker.h"

#include <QList>
#include <QObject>

class QCheckBox;
class QComboBox;
class QWidget;

namespace tarvel {
class Desk;
}

namespace tarvel::ui {

/// The check box chkHyoushou and the destination cmbHyoushouSaki: the printers of the print
/// scheduler (listed on a thread of their own, never on the GUI thread) and a PDF folder
/// chosen with a dialog. Both are kept in the user's settings; the desk is told at once, so
/// that the next run, automatic or not, sends the lists or not. Lives on the GUI thread.
class CeremonyControls final : public QObject {
    Q_OBJECT
public:
    /// Builds the controls on `window` and appends them to `widePart`.
    CeremonyControls(QWidget& window, QList<QWidget*>& widePart);
    ~CeremonyControls() override;

    /// From now on the desk follows the controls; lists the printers.
    void attach(Desk& desk);
    /// The destination chosen, whether the switch is on or not.
    const CeremonyDestination& chosen() const { return chosen_; }

Q_SIGNALS:
    /// The switch or the destination changed (the desk knows already).
    void changed();

private:
    void showChoices(const QStringList& printers);
    void choose(int index);
    void tellDesk();

    QWidget& window_;
    QCheckBox* switch_ = nullptr;
    QComboBox* destinations_ = nullptr;
    Desk* desk_ = nullptr;
    CeremonyDestination chosen_;
    cups::CancelFlag cancel_;
    SerialWorker<void> lookups_; ///< last: it goes first, ending a lookup under way
};

} // namespace tarvel::ui
