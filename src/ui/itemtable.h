#pragma once
/// The wide part's item table: each of the nineteen items' switch, X, Y and size, and the
/// five free texts beside their items.

#include "layout/certificateitems.h"
#include "layout/layoutfile.h"

#include <QList>

#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QWidget;

namespace tarvel::ui {

/// The controls, owned by the window they were built in.
struct ItemTable {
    /// Builds the table in `window` at the design's places; every control also goes into
    /// `widePart`.
    static ItemTable build(QWidget* window, QList<QWidget*>& widePart);

    /// Puts the switches, places, sizes and free texts as the controls hold them into
    /// `layout`.
    void read(Layout& layout) const;
    /// Shows the items and free texts of `layout`.
    void show(const Layout& layout);
    /// Gives the boxes their validators, and calls `edited` after every edit of a switch,
    /// a place or a size, `freeTextEdited` with k after an edit of free text k.
    void connectEdits(const std::function<void()>& edited,
                      const std::function<void(int k)>& freeTextEdited);
    /// Sets an item's X and Y without the boxes' change signals (the caller redraws once).
    void placeQuietly(int item, const QString& x, const QString& y);

    std::array<QCheckBox*, kItemCount> chkKoumoku{};
    std::array<QLineEdit*, kItemCount> txtX{};
    std::array<QLineEdit*, kItemCount> txtY{};
    std::array<QLineEdit*, kItemCount> txtSizu{};
    std::array<QLineEdit*, kFreeTextCount> txtText{};
};

} // namespace tarvel::ui
