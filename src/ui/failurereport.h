#pragma once
/// Telling the operator that an operation failed: what, on which file, and why.

#include "platform/failure.h"

class QWidget;

namespace tarvel::ui {

/// The text of the message: what was being done, the file (when there is one), the reason.
QString failureText(const Failure& failure);

/// Shows the failure in a modal critical message box over `parent` (may be null).
void reportFailure(QWidget* parent, const Failure& failure);

} // namespace tarvel::ui
