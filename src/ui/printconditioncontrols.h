#pragma once
/// The window's print conditions (frame Frame1): the option rows and the old-number filter.

#include "printrun/printoptions.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QWidget;

namespace tarvel::ui {

/// The controls, owned by the window they were built in.
struct PrintConditionControls {
    /// Builds the frame and its controls in `window` at their design places.
    static PrintConditionControls build(QWidget* window);
    /// Sets the condition, the filters and the number prefix of `options` as chosen.
    void fill(PrintOptions& options) const;

    QGroupBox* frame = nullptr;
    QButtonGroup* optJohken = nullptr;
    QButtonGroup* optKyori = nullptr;
    QButtonGroup* optShu = nullptr;
    QButtonGroup* optYoketu = nullptr;
    QButtonGroup* optSei = nullptr;
    QLineEdit* txtQbango = nullptr;
};

} // namespace tarvel::ui
