#pragma once
/// picBrev: the preview box that shows the retained drawing of the certificate preview.

#include "platform/qt/qtpreviewsurface.h"

#include <QFrame>

namespace tarvel::ui {

/// A white box with a sunken border. Its drawing area (inside the border) shows the
/// preview surface's drawing, its preview units over the area whatever its size; the
/// drawing stays on show when the box is covered, hidden, resized or shown again, until
/// the next drawing replaces it.
class PreviewBox : public QFrame {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr);

    /// The surface the certificate is drawn onto; owned by the box.
    QtPreviewSurface& surface() { return surface_; }
    const QtPreviewSurface& surface() const { return surface_; }

Q_SIGNALS:
    /// The operator double-clicked the box: the window opens the large preview.
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QtPreviewSurface surface_;
};

} // namespace tarvel::ui
