#pragma once
/// The font dialog: the operator picks the certificate's face.

#include <QString>

class QWidget;

namespace tarvel {

/// Shows the font dialog and reports a face name, the way the program's common dialog did:
/// only the face is taken (size, style and effects are not), the dialog does not start at
/// the current face, and a cancelled dialog reports the face it reported last (empty before
/// the first choice; surfaces draw an empty face in the certificate face). Applying the face
/// to the printer and the preview is the caller's job, with no redraw.
class FontChooser {
public:
    /// Shows the dialog modally over `parent`. Needs a QApplication.
    QString choose(QWidget* parent = nullptr);

    /// The face reported last.
    const QString& reportedFace() const { return reported_; }

private:
    QString reported_;
};

} // namespace tarvel
