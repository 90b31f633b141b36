#pragma once
/// A one-line label that ends with "…" when its text does not fit, and then shows the whole
/// text as its tooltip.

#include <QLabel>
#include <QPainter>

namespace tarvel::ui {

class ElidedLabel final : public QLabel {
public:
    using QLabel::QLabel;

    /// Sets the text (text() keeps it whole) and the tooltip it needs at the present width.
    void setFullText(const QString& text)
    {
        setText(text);
        updateToolTip();
    }

    /// The text as it is shown: whole, or cut with "…".
    QString shownText() const
    {
        return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        (void)event;
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(contentsRect(), int(alignment()) | Qt::TextSingleLine, shownText());
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        updateToolTip();
    }

private:
    void updateToolTip() { setToolTip(shownText() == text() ? QString() : text()); }
};

} // namespace tarvel::ui
