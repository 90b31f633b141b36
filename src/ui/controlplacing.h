#pragma once
/// Putting the window's controls where its design says: names, places in twips, the item
/// switches, and the column headers of the item table.

#include "ui/twips.h"

#include <QLabel>
#include <QList>
#include <QString>

namespace tarvel::ui {

/// "txtX" and 4: "txtX4", the name of one of an array of like controls.
QString indexed(const QString& name, int index);

/// Places a control at its design position (twips, relative to its parent).
template <class W>
W* place(W* control, const QString& name, int left, int top, int width, int height)
{
    control->setObjectName(name);
    control->setGeometry(twipsRect(*control, left, top, width, height));
    return control;
}

/// Places a label whose design gives no size: it takes the size its caption needs.
QLabel* placeLabel(QLabel* label, const QString& name, int left, int top);

/// A label `width` pixels wide in `font` whose caption has `left` at its left end and
/// `right` at its right end, padded apart with blanks (the preview's corner labels).
QLabel* spreadLabel(QWidget* parent, const QString& name, const QString& left, const QString& right,
                    int width, const QFont& font);

/// The item switch (0 off, 1 on, 2 grayed) as a check box state, and back.
Qt::CheckState checkStateOf(qint16 switchState);
qint16 switchOf(Qt::CheckState state);

/// The header over the three number boxes of a column set. Its caption spaces the three
/// words apart with full-width blanks for a face whose blank is narrow; the installed faces
/// have a full em, so each word is drawn over its box instead (offsets in twips).
class ColumnHeader final : public QLabel {
public:
    ColumnHeader(const QString& caption, QList<int> wordOffsets, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<int> wordOffsets_;
};

} // namespace tarvel::ui
