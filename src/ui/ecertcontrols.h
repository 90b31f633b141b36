#pragma once
/// The window's e-certificates switch (電子賞状も作る), in the wide part.

#include <QList>
#include <QObject>

class QCheckBox;
class QWidget;

namespace tarvel {
class Desk;
}

namespace tarvel::ui {

/// The check box chkDenshi beside the award lists' controls: while it is ticked, every run
/// of the ready races the window makes (automatic or not) also writes each event's
/// e-certificates. Off when the window opens. Lives on the GUI thread.
class ECertControls final : public QObject {
    Q_OBJECT
public:
    /// Builds the check box on `window` and appends it to `widePart`.
    ECertControls(QWidget& window, QList<QWidget*>& widePart);

    /// From now on the desk follows the check box.
    void attach(Desk& desk);

Q_SIGNALS:
    /// The switch changed (the desk knows already).
    void changed();

private:
    QCheckBox* switch_ = nullptr;
    Desk* desk_ = nullptr;
};

} // namespace tarvel::ui
