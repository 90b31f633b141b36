#pragma once
/// Opening the program's one window: the start-up that main() and the tests share.

#include "ui/frmbrev.h"

#include <memory>

namespace tarvel::ui {

/// Registers the font substitutions, creates the window and runs its start-up sequence
/// with the location file relative to the working directory. When the start-up fails (no
/// location file), shows the failure and returns null: the program then ends.
std::unique_ptr<FrmBrev>
openMainWindow(PrintTargetFactory openPrintTarget = openDefaultPrintTarget,
               const QString& locationFile = QString::fromUtf16(kLocationFile));

} // namespace tarvel::ui
