#pragma once
/// Placing items by hand: snapping, the item under the pointer, drags, nudges and undo.

#include "layout/certificateitems.h"

#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

namespace tarvel {

/// Positions dragged into place land on this grid, in twips, unless placed freely.
inline constexpr int kSnapTwips = 10;
/// Arrow keys move an item this far (twips); with Shift the larger step.
inline constexpr int kNudgeTwips = 10;
inline constexpr int kLargeNudgeTwips = 100;

enum class Snap { Grid, Free };

/// A position in whole twips: rounded, and onto the grid with Snap::Grid.
int placeTwips(double twips, Snap snap);

/// What moving an item changes and undoing restores: its X and Y texts, its maximum width.
struct Placement {
    int item = -1;
    QString x;
    QString y;
    int maxWidth = 0;
    bool operator==(const Placement&) const = default;
};

Placement placementOf(const Layout& layout, int item);

/// An item's drawn text, in twips on the page.
struct ItemBox {
    int item = -1;
    QRectF twips;
};

/// Pairs the drawn texts' boxes (in drawing order) with their items: drawCertificate draws
/// the items switched on, in index order. Extra boxes or items are left out.
std::vector<ItemBox> itemBoxes(const Layout& layout, const std::vector<QRectF>& drawnBoxes);

/// What a press takes hold of: the item (to move it) or its right edge (its maximum width).
enum class Grip { Body, WidthEdge };

struct Hold {
    int item = -1;
    Grip grip = Grip::Body;
};

/// The item under `point` (twips), the one drawn last where boxes overlap; its right edge
/// (the maximum width when set, else the text's end) when within `edgeTolerance` twips.
std::optional<Hold> holdAt(const std::vector<ItemBox>& boxes, const Layout& layout, QPointF point,
                           double edgeTolerance);

/// One drag, from the press at `pressed` (twips) on `start`.
class ItemDrag {
public:
    ItemDrag(Placement start, Grip grip, QPointF pressed);

    /// Where the item is with the pointer at `pointer`: moved by the pointer's travel, or
    /// its maximum width reaching to the pointer (at least one grid step).
    Placement at(QPointF pointer, Snap snap) const;
    const Placement& start() const { return start_; }

private:
    Placement start_;
    Grip grip_;
    QPointF pressed_;
};

/// `placement` moved by (dx, dy) twips, in whole twips.
Placement nudged(const Placement& placement, int dx, int dy);

/// The placements before each edit, newest last, so that edits can be undone in turn.
class PlacementHistory {
public:
    /// Keeps `before`, the state an edit is about to change; an edit that changed nothing
    /// (`before` == `after`) is not kept.
    void record(const Placement& before, const Placement& after);
    /// The state to restore for the newest edit not yet undone; none when all are.
    std::optional<Placement> undo();
    bool canUndo() const { return !done_.empty(); }

private:
    std::vector<Placement> done_;
};

} // namespace tarvel
