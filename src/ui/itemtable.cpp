#include "ui/itemtable.h"

#include "ui/controlplacing.h"
#include "ui/textvalidators.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <span>

using namespace Qt::StringLiterals;

namespace tarvel::ui {

namespace {

// Rows 360 twips apart from top 360, item order of each column set.
constexpr int kHeaderTop = 120;
constexpr int kFirstRowTop = 360;
constexpr int kRowPitch = 360;
constexpr int kRowHeight = 270;
constexpr std::array kLeftRows{kItemDate,       kItemMeetName,   kItemVenue,      kItemClass,
                               kItemEvent,      kItemResult,     kItemRank,       freeTextItem(0),
                               freeTextItem(1), freeTextItem(2), freeTextItem(3), freeTextItem(4)};
constexpr std::array kRightRows{kItemRemark, kItemName, kItemPrefecture, kItemAffiliation,
                                kItemGrade,  kItemAge,  kItemNumber};
struct ColumnSet {
    int check;
    int x;
    int y;
    int size;
};
constexpr ColumnSet kLeftColumns{4320, 5400, 6240, 7080};
constexpr ColumnSet kRightColumns{8040, 9120, 9960, 10800};
constexpr int kCheckWidth = 1215;
constexpr int kNumberWidth = 735;
constexpr int kSizeWidth = 615;
constexpr int kFreeTextLeft = 7800;
constexpr int kFreeTextWidth = 3615;

} // namespace

ItemTable ItemTable::build(QWidget* window, QList<QWidget*>& widePart)
{
    ItemTable table;
    auto addColumnSet = [&](const ColumnSet& columns, std::span<const int> rows, int set) {
        widePart << placeLabel(new QLabel(u"打出項目"_s, window), indexed(u"Label4"_s, set),
                               columns.check, kHeaderTop)
                 << place(new ColumnHeader(u"X軸　　　　　Y軸　　　　サイズ"_s,
                                           {0, columns.y - columns.x, columns.size - columns.x},
                                           window),
                          indexed(u"Label5"_s, set), columns.x, kHeaderTop,
                          columns.size + kSizeWidth - columns.x, kRowHeight);
        for (std::size_t row = 0; row < rows.size(); ++row) {
            const int item = rows[row];
            const int top = kFirstRowTop + static_cast<int>(row) * kRowPitch;
            QCheckBox* check =
                place(new QCheckBox(itemCaption(item), window), indexed(u"chkKoumoku"_s, item),
                      columns.check, top, kCheckWidth, kRowHeight);
            auto numberBox = [&](const QString& name, int left, int width) {
                return place(new QLineEdit(window), indexed(name, item), left, top, width,
                             kRowHeight);
            };
            table.chkKoumoku[item] = check;
            table.txtX[item] = numberBox(u"txtX"_s, columns.x, kNumberWidth);
            table.txtY[item] = numberBox(u"txtY"_s, columns.y, kNumberWidth);
            table.txtSizu[item] = numberBox(u"txtSizu"_s, columns.size, kSizeWidth);
            widePart << check << table.txtX[item] << table.txtY[item] << table.txtSizu[item];
            if (isFreeTextItem(item)) {
                const int k = freeTextOf(item);
                table.txtText[k] = place(new QLineEdit(window), indexed(u"txtText"_s, k),
                                         kFreeTextLeft, top, kFreeTextWidth, kRowHeight);
                widePart << table.txtText[k];
            }
        }
    };
    addColumnSet(kLeftColumns, kLeftRows, 0);
    addColumnSet(kRightColumns, kRightRows, 1);
    return table;
}

void ItemTable::read(Layout& layout) const
{
    for (int i = 0; i < kItemCount; ++i) {
        ItemLayout& item = layout.items[i];
        item.switchState = switchOf(chkKoumoku[i]->checkState());
        item.x = txtX[i]->text();
        item.y = txtY[i]->text();
        item.size = txtSizu[i]->text();
    }
    for (int k = 0; k < kFreeTextCount; ++k)
        layout.freeTexts[k] = txtText[k]->text();
}

void ItemTable::show(const Layout& layout)
{
    for (int i = 0; i < kItemCount; ++i) {
        const ItemLayout& item = layout.items[i];
        chkKoumoku[i]->setCheckState(checkStateOf(item.switchState));
        txtX[i]->setText(item.x);
        txtY[i]->setText(item.y);
        txtSizu[i]->setText(item.size);
    }
    for (int k = 0; k < kFreeTextCount; ++k)
        txtText[k]->setText(layout.freeTexts[k]);
}

void ItemTable::connectEdits(const std::function<void()>& edited,
                             const std::function<void(int k)>& freeTextEdited)
{
    for (int i = 0; i < kItemCount; ++i) {
        QCheckBox* check = chkKoumoku[i];
        // A grayed switch (only the layout file gives one) turns on when clicked, then
        // toggles between off and on.
        QObject::connect(check, &QCheckBox::clicked, check, [check, edited] {
            check->setTristate(false);
            edited();
        });
        for (QLineEdit* box : {txtX[i], txtY[i], txtSizu[i]}) {
            box->setValidator(new NumberTextValidator(box));
            QObject::connect(box, &QLineEdit::textChanged, box, edited);
        }
    }
    for (int k = 0; k < kFreeTextCount; ++k) {
        txtText[k]->setValidator(new FreeTextValidator(txtText[k]));
        QObject::connect(txtText[k], &QLineEdit::textChanged, txtText[k],
                         [k, freeTextEdited] { freeTextEdited(k); });
    }
}

void ItemTable::placeQuietly(int item, const QString& x, const QString& y)
{
    for (QLineEdit* box : {txtX[item], txtY[item]})
        box->blockSignals(true);
    txtX[item]->setText(x);
    txtY[item]->setText(y);
    for (QLineEdit* box : {txtX[item], txtY[item]})
        box->blockSignals(false);
}

} // namespace tarvel::ui
