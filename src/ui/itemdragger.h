#pragma once
/// The large preview's page: the certificate at the widget's size, its items dragged into
/// place with the mouse or moved with the arrow keys.

#include "layout/placement.h"
#include "platform/qt/qtpreviewsurface.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace tarvel::ui {

/// What the dragger reads from and writes to the window that holds the layout.
struct LayoutLinks {
    /// The layout as the window's boxes hold it.
    std::function<Layout()> layout;
    /// Puts an item's X, Y and maximum width into the window, which redraws the previews.
    std::function<void(const Placement&)> place;
};

/// Shows the page whole with its aspect kept, text in page proportion. A press on an item
/// selects it and drags it (positions snap to kSnapTwips; Shift places freely); a press on
/// its right edge drags its maximum width. The arrow keys move the selected item by
/// kNudgeTwips (Shift: kLargeNudgeTwips); Ctrl+Z undoes the last move, drag or width.
class ItemDragger : public QWidget {
    Q_OBJECT
public:
    explicit ItemDragger(LayoutLinks links, QWidget* parent = nullptr);

    /// The surface the window draws the certificate onto; owned here.
    QtPreviewSurface& surface() { return surface_; }

    std::optional<int> selectedItem() const { return selected_; }
    void select(std::optional<int> item);

    /// Puts `placement` into the window as one edit that can be undone.
    void apply(const Placement& placement);
    /// Restores the state before the last edit; false when there was none.
    bool undo();

    /// Where the page is shown, in the widget's pixels.
    QRectF pageRect() const;
    /// A point of the widget in twips on the page, and back.
    QPointF toTwips(QPointF pixel) const;
    QPointF toPixels(QPointF twips) const;

Q_SIGNALS:
    /// The selection changed, or the selected item was moved or resized.
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::vector<ItemBox> boxes();
    std::optional<Hold> holdAt(QPointF pixel);

    LayoutLinks links_;
    QtPreviewSurface surface_;
    PlacementHistory history_;
    std::optional<ItemDrag> drag_;
    std::optional<int> selected_;
};

} // namespace tarvel::ui
