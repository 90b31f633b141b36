#pragma once
/// Certificates, layouts and blank certificates for the e-certificate tests.

#include "ecert/ecertificate.h"
#include "ecert/ecertwriter.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRect>
#include <QString>
#include <QStringList>

#include <ostream>

/// Lets GoogleTest show lists of names as text in failure messages.
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[' << list.join(u", "_qs).toStdString() << ']';
}

namespace tarvel::testing {

/// Items 0 to 6 on, 12 points, one line each from the top; the rest off.
inline Layout lineLayout()
{
    Layout layout = defaultLayout();
    for (int i = 0; i < kItemCount; ++i) {
        ItemLayout& item = layout.items[i];
        item.switchState = i <= kItemAffiliation ? kSwitchOn : kSwitchOff;
        item.x = u"1000"_qs;
        item.y = QString::number(3000 + 600 * i);
        item.size = u"12"_qs;
    }
    return layout;
}

inline ECertificate ecertificate(int heat, int lane, const QString& name, const QString& rank,
                                 const QString& affiliation = u"テストＳＣ"_qs,
                                 std::optional<int> leg = std::nullopt)
{
    ECertificate c;
    c.raceNo = 12;
    c.heat = heat;
    c.lane = lane;
    c.leg = leg;
    c.eventTitle = u"R012 男子 100m自由形 決勝"_qs;
    c.items[kItemEvent] = u"男子 100m自由形"_qs;
    c.items[kItemResult] = u"1:0"_qs + QString::number(lane) + u".45"_qs;
    c.items[kItemRank] = rank;
    c.items[kItemRemark] = u"大会新"_qs;
    c.items[kItemName] = name;
    c.items[kItemPrefecture] = u"東京都"_qs;
    c.items[kItemAffiliation] = affiliation;
    return c;
}

/// The texts a page of `layout` carries for `c`, blanks removed, in item order.
inline QString drawnTexts(const Layout& layout, const ECertificate& c)
{
    QString all;
    for (int i = 0; i < kItemCount; ++i) {
        if (layout.items[i].switchState == kSwitchOn)
            all += c.items[i];
    }
    return all.remove(u' ').remove(QChar(0x3000));
}

/// Where the blank certificates below draw their mark, in points from the sheet's top-left
/// corner: far from every item of lineLayout().
inline const QRectF kMarkPoints(400, 700, 120, 80);

/// A vector blank certificate: an A4 page with a filled rectangle at kMarkPoints.
inline void writeVectorBackdrop(const QString& path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.fillRect(kMarkPoints, Qt::black);
}

/// An image blank certificate the size of A4 at 36 dpi, black at kMarkPoints.
inline QImage backdropImage()
{
    QImage image(298, 421, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRectF(kMarkPoints.topLeft() / 2, kMarkPoints.size() / 2), Qt::black);
    return image;
}

} // namespace tarvel::testing
