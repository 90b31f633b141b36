#include "platform/qt/pagesheet.h"

#include "platform/pageunits.h"
#include "platform/qt/pdfdevice.h"

#include <QPageLayout>

namespace tarvel {

PageSheet PageSheet::of(const QPageLayout& layout)
{
    const QRectF sheet = layout.fullRect(QPageLayout::Point);
    const QMarginsF margins = layout.margins(QPageLayout::Point);
    return PageSheet{sheet.size() * kTwipsPerPoint,
                     QPointF(margins.left(), margins.top()) * kTwipsPerPoint};
}

PageSheet PageSheet::design()
{
    return of(PdfDevice::designPageLayout());
}

} // namespace tarvel
