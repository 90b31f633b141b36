#include "ui/controlplacing.h"

#include "layout/certificateitems.h"

#include <QFontMetrics>
#include <QPainter>

namespace tarvel::ui {

QString indexed(const QString& name, int index)
{
    return name + QString::number(index);
}

QLabel* placeLabel(QLabel* label, const QString& name, int left, int top)
{
    label->setObjectName(name);
    label->adjustSize();
    label->move(twipsRect(*label, left, top, 0, 0).topLeft());
    return label;
}

QLabel* spreadLabel(QWidget* parent, const QString& name, const QString& left, const QString& right,
                    int width, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(font);
    const QFontMetrics metrics(font);
    QString caption = left + u' ' + right;
    while (metrics.horizontalAdvance(caption + u' ') <= width)
        caption.insert(left.size(), u' ');
    label->setText(caption);
    label->resize(width, metrics.height());
    return label;
}

Qt::CheckState checkStateOf(qint16 switchState)
{
    switch (switchState) {
    case kSwitchOn: return Qt::Checked;
    case kSwitchGrayed: return Qt::PartiallyChecked;
    default: return Qt::Unchecked;
    }
}

qint16 switchOf(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked: return kSwitchOn;
    case Qt::PartiallyChecked: return kSwitchGrayed;
    default: return kSwitchOff;
    }
}

ColumnHeader::ColumnHeader(const QString& caption, QList<int> wordOffsets, QWidget* parent)
    : QLabel(caption, parent)
    , wordOffsets_(std::move(wordOffsets))
{
}

void ColumnHeader::paintEvent(QPaintEvent* event)
{
    (void)event;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QStringList words = text().split(QChar(0x3000), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size() && i < wordOffsets_.size(); ++i) {
        const int x = twipsToPixels(wordOffsets_[i], logicalDpiX());
        painter.drawText(QRect(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter,
                         words[i]);
    }
}

} // namespace tarvel::ui
