#pragma once
/// Opening the program's one window: the start-up that main() and the tests share.

#include "ui/frmbrev.h"

#include <memory>

namespace tarvel::ui {

/// Registers the font substitutions, creates the window and runs its start-up sequence
/// with the location file relative to the working directory. When the location file is not
/// there, the meet chooser says where it looked and lets the operator choose the meet; the
/// window then starts as if started beside that meet's ctl folder, and the meet is
/// remembered. Null when the chooser is cancelled, or when the start-up fails on a meet that
/// was found (the failure is shown): the program then ends.
std::unique_ptr<FrmBrev>
openMainWindow(const DeskServices& services = {},
               const QString& locationFile = QString::fromUtf16(kLocationFile));

} // namespace tarvel::ui
