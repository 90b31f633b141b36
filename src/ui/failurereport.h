#pragma once
/// Telling the operator that an operation failed: what, on which file, and why.

#include "platform/failure.h"
#include "printrun/session.h"

#include <functional>

class QWidget;

namespace tarvel::ui {

/// The text of the message: what was being done, the file (when there is one), the reason.
QString failureText(const Failure& failure);

/// Shows the failure in a modal critical message box over `parent` (may be null).
void reportFailure(QWidget* parent, const Failure& failure);

/// Runs `handler`; a tarvel::Failure abandons it and is shown as reportFailure() does.
void runReportingFailure(QWidget* parent, const std::function<void()>& handler);

/// Tells, without waiting for an answer, that the layout file could not be read whole at
/// start-up: which field, why, and that the defaults were written from there on.
void showLayoutRepair(QWidget* parent, const Session& session);

} // namespace tarvel::ui
