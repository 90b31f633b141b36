#include "ui/itemdragger.h"

#include "layout/drawing.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tarvel::ui {

namespace {

/// What the preview image spans, in twips: its whole units.
constexpr double kPageWidth = kPreviewWidthUnits * kTwipsPerPreviewUnit;
constexpr double kPageHeight = kPreviewHeightUnits * kTwipsPerPreviewUnit;
/// How near the pointer must be to an item's right edge to take hold of it, in pixels.
constexpr double kEdgePixels = 4.0;

Snap snapOf(Qt::KeyboardModifiers modifiers)
{
    return modifiers & Qt::ShiftModifier ? Snap::Free : Snap::Grid;
}

} // namespace

ItemDragger::ItemDragger(LayoutLinks links, QWidget* parent)
    : QWidget(parent)
    , links_(std::move(links))
    , surface_(QSize(1, 1), QtPreviewSurface::TextScale::Page)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(200, 280);
    surface_.setDrawingEndedHandler([this] { update(); });
}

QRectF ItemDragger::pageRect() const
{
    const QSizeF page = QSizeF(kPageWidth, kPageHeight).scaled(size(), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - page.width()) / 2.0, (height() - page.height()) / 2.0), page);
}

QPointF ItemDragger::toTwips(QPointF pixel) const
{
    const QRectF page = pageRect();
    return QPointF((pixel.x() - page.left()) * kPageWidth / page.width(),
                   (pixel.y() - page.top()) * kPageHeight / page.height());
}

QPointF ItemDragger::toPixels(QPointF twips) const
{
    const QRectF page = pageRect();
    return QPointF(page.left() + twips.x() * page.width() / kPageWidth,
                   page.top() + twips.y() * page.height() / kPageHeight);
}

void ItemDragger::select(std::optional<int> item)
{
    selected_ = item;
    update();
    Q_EMIT selectionChanged();
}

void ItemDragger::apply(const Placement& placement)
{
    history_.record(placementOf(links_.layout(), placement.item), placement);
    links_.place(placement);
    select(placement.item);
}

bool ItemDragger::undo()
{
    const std::optional<Placement> before = history_.undo();
    if (!before)
        return false;
    links_.place(*before);
    select(before->item);
    return true;
}

std::vector<ItemBox> ItemDragger::boxes()
{
    std::vector<QRectF> drawn = surface_.textBoxes();
    for (QRectF& box : drawn)
        box = QRectF(box.topLeft() * kTwipsPerPreviewUnit, box.size() * kTwipsPerPreviewUnit);
    return itemBoxes(links_.layout(), drawn);
}

std::optional<Hold> ItemDragger::holdAt(QPointF pixel)
{
    const double twipsPerPixel = kPageWidth / pageRect().width();
    return tarvel::holdAt(boxes(), links_.layout(), toTwips(pixel), kEdgePixels * twipsPerPixel);
}

void ItemDragger::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    const QRectF page = pageRect();
    painter.drawImage(page, surface_.image());
    if (!selected_)
        return;
    const Layout layout = links_.layout();
    for (const ItemBox& box : boxes()) {
        if (box.item != *selected_)
            continue;
        painter.setPen(QPen(QColor(0, 90, 200), 1, Qt::DashLine));
        painter.drawRect(QRectF(toPixels(box.twips.topLeft()), toPixels(box.twips.bottomRight()))
                             .adjusted(-1, -1, 1, 1));
        const int maxWidth = layout.items[box.item].maxWidth;
        if (maxWidth > 0) {
            painter.setPen(QPen(QColor(200, 30, 30), 2));
            const double x = toPixels(QPointF(box.twips.left() + maxWidth, 0)).x();
            painter.drawLine(QPointF(x, toPixels(box.twips.topLeft()).y() - 4),
                             QPointF(x, toPixels(box.twips.bottomLeft()).y() + 4));
        }
    }
}

void ItemDragger::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    surface_.setPixelSize(pageRect().size().toSize(), devicePixelRatioF());
}

void ItemDragger::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const std::optional<Hold> hold = holdAt(event->position());
    if (!hold) {
        select(std::nullopt);
        return;
    }
    drag_.emplace(placementOf(links_.layout(), hold->item), hold->grip, toTwips(event->position()));
    select(hold->item);
}

void ItemDragger::mouseMoveEvent(QMouseEvent* event)
{
    if (!drag_) {
        const std::optional<Hold> hold = holdAt(event->position());
        setCursor(!hold                      ? Qt::ArrowCursor
                  : hold->grip == Grip::Body ? Qt::SizeAllCursor
                                             : Qt::SizeHorCursor);
        return;
    }
    const Placement moved = drag_->at(toTwips(event->position()), snapOf(event->modifiers()));
    if (moved == placementOf(links_.layout(), moved.item))
        return;
    links_.place(moved);
    Q_EMIT selectionChanged();
}

void ItemDragger::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !drag_)
        return;
    const Placement start = drag_->start();
    drag_.reset();
    history_.record(start, placementOf(links_.layout(), start.item));
}

void ItemDragger::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Undo)) {
        undo();
        return;
    }
    const int step = event->modifiers() & Qt::ShiftModifier ? kLargeNudgeTwips : kNudgeTwips;
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -step; break;
    case Qt::Key_Right: dx = step; break;
    case Qt::Key_Up: dy = -step; break;
    case Qt::Key_Down: dy = step; break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (selected_)
        apply(nudged(placementOf(links_.layout(), *selected_), dx, dy));
}

} // namespace tarvel::ui
