#include "layout/placement.h"

#include "platform/numbers.h"

#include <algorithm>
#include <cmath>

namespace tarvel {

namespace {

/// Edits kept for undoing: far more than an operator retraces.
constexpr std::size_t kHistoryLimit = 1000;

QString twipsText(double twips, Snap snap)
{
    return QString::number(placeTwips(twips, snap));
}

} // namespace

int placeTwips(double twips, Snap snap)
{
    if (!std::isfinite(twips))
        return 0;
    if (snap == Snap::Free)
        return static_cast<int>(std::lround(twips));
    return static_cast<int>(std::lround(twips / kSnapTwips)) * kSnapTwips;
}

Placement placementOf(const Layout& layout, int item)
{
    const ItemLayout& at = layout.items[item];
    return {item, at.x, at.y, at.maxWidth};
}

std::vector<ItemBox> itemBoxes(const Layout& layout, const std::vector<QRectF>& drawnBoxes)
{
    std::vector<ItemBox> boxes;
    std::size_t drawn = 0;
    for (int i = 0; i < kItemCount && drawn < drawnBoxes.size(); ++i) {
        if (layout.items[i].switchState == kSwitchOn)
            boxes.push_back({i, drawnBoxes[drawn++]});
    }
    return boxes;
}

std::optional<Hold> holdAt(const std::vector<ItemBox>& boxes, const Layout& layout, QPointF point,
                           double edgeTolerance)
{
    for (auto box = boxes.rbegin(); box != boxes.rend(); ++box) {
        const int maxWidth = layout.items[box->item].maxWidth;
        const double right = maxWidth > 0 ? box->twips.left() + maxWidth : box->twips.right();
        const bool withinHeight = point.y() >= box->twips.top() && point.y() <= box->twips.bottom();
        if (withinHeight && std::abs(point.x() - right) <= edgeTolerance)
            return Hold{box->item, Grip::WidthEdge};
        if (box->twips.contains(point))
            return Hold{box->item, Grip::Body};
    }
    return std::nullopt;
}

ItemDrag::ItemDrag(Placement start, Grip grip, QPointF pressed)
    : start_(std::move(start))
    , grip_(grip)
    , pressed_(pressed)
{
}

Placement ItemDrag::at(QPointF pointer, Snap snap) const
{
    Placement moved = start_;
    if (grip_ == Grip::WidthEdge) {
        const double width = pointer.x() - numericValue(start_.x);
        moved.maxWidth = std::max(kSnapTwips, placeTwips(width, snap));
        return moved;
    }
    moved.x = twipsText(numericValue(start_.x) + pointer.x() - pressed_.x(), snap);
    moved.y = twipsText(numericValue(start_.y) + pointer.y() - pressed_.y(), snap);
    return moved;
}

Placement nudged(const Placement& placement, int dx, int dy)
{
    Placement moved = placement;
    moved.x = twipsText(numericValue(placement.x) + dx, Snap::Free);
    moved.y = twipsText(numericValue(placement.y) + dy, Snap::Free);
    return moved;
}

void PlacementHistory::record(const Placement& before, const Placement& after)
{
    if (before == after)
        return;
    if (done_.size() == kHistoryLimit)
        done_.erase(done_.begin());
    done_.push_back(before);
}

std::optional<Placement> PlacementHistory::undo()
{
    if (done_.empty())
        return std::nullopt;
    Placement last = done_.back();
    done_.pop_back();
    return last;
}

} // namespace tarvel
