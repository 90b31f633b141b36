#pragma once
/// Where the printable area lies on the sheet of paper: what puts a scan of the whole sheet
/// (the blank certificate) under the items as the pre-printed stock lies under the page.

#include <QPointF>
#include <QSizeF>

class QPageLayout;

namespace tarvel {

/// In twips. Positions on a page are measured from the printable area's top-left corner,
/// which lies at `printableOrigin` from the sheet's top-left corner; the sheet is `size`.
struct PageSheet {
    QSizeF size;
    QPointF printableOrigin;
    bool operator==(const PageSheet&) const = default;

    /// The sheet of a page layout: its paper, and its margins as the printable area's origin.
    static PageSheet of(const QPageLayout& layout);
    /// The sheet the design page is printed on: A4 with the PDF files' margins.
    static PageSheet design();
};

} // namespace tarvel
