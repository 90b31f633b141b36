#include "ui/previewbox.h"

#include <QPainter>

namespace tarvel::ui {

namespace {
constexpr int kBorderWidth = 2;
}

PreviewBox::PreviewBox(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorderWidth);
    surface_.setDrawingEndedHandler([this] { update(); });
}

void PreviewBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.fillRect(area, Qt::white);
    painter.drawImage(area, surface_.image());
}

void PreviewBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QFrame::mouseDoubleClickEvent(event);
    Q_EMIT doubleClicked();
}

void PreviewBox::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    // The surface redraws its retained texts at the new size, so nothing is lost.
    surface_.setPixelSize(contentsRect().size(), devicePixelRatioF());
}

} // namespace tarvel::ui
