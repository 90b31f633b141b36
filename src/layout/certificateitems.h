#pragma once
/// The nineteen certificate items, the layout state and the texts of the certificate in hand.

#include <QString>

#include <array>

namespace tarvel {

inline constexpr int kItemCount = 19;
inline constexpr int kFreeTextCount = 5;

/// The items by name: the index of each in the layout, the item texts and the files.
inline constexpr int kItemEvent = 0;
inline constexpr int kItemResult = 1;
inline constexpr int kItemRank = 2;
inline constexpr int kItemRemark = 3;
inline constexpr int kItemName = 4;
inline constexpr int kItemPrefecture = 5;
inline constexpr int kItemAffiliation = 6;
inline constexpr int kItemGrade = 7;
inline constexpr int kItemAge = 8;
inline constexpr int kItemNumber = 9;
inline constexpr int kItemDate = 10;
inline constexpr int kItemMeetName = 11;
inline constexpr int kItemVenue = 12;
/// Items 13 to 17 show the free texts 0 to 4.
inline constexpr int kFirstFreeTextItem = 13;
inline constexpr int kItemClass = 18;

/// Whether item `item` (0-based) holds one of the operator's free texts.
constexpr bool isFreeTextItem(int item)
{
    return item >= kFirstFreeTextItem && item < kFirstFreeTextItem + kFreeTextCount;
}

/// The item that shows free text k (0 to kFreeTextCount - 1).
constexpr int freeTextItem(int k)
{
    return kFirstFreeTextItem + k;
}

/// The free text item `item` shows; call only when isFreeTextItem(item).
constexpr int freeTextOf(int item)
{
    return item - kFirstFreeTextItem;
}

/// Switch states of an item: only exactly On is drawn; Grayed can only come from the file.
inline constexpr qint16 kSwitchOff = 0;
inline constexpr qint16 kSwitchOn = 1;
inline constexpr qint16 kSwitchGrayed = 2;

/// One item's place on the page, kept as the texts the operator typed; they are read as
/// numbers only when a page is drawn ("abc" draws at 0).
struct ItemLayout {
    qint16 switchState = kSwitchOn;
    QString x;    // twips from the left of the printable area
    QString y;    // twips from the top, downwards
    QString size; // points on paper
    /// The widest the text may be drawn, in twips; 0 for no limit. Kept in tarvel.ini
    /// (layoutini.h), never in tarvel.dat.
    int maxWidth = 0;
    bool operator==(const ItemLayout&) const = default;
};

/// Everything tarvel.dat keeps, and the items' maximum widths that tarvel.ini keeps.
struct Layout {
    QString rankLimitIndividual;
    QString rankLimitRelay;
    std::array<ItemLayout, kItemCount> items;
    std::array<QString, kFreeTextCount> freeTexts;
    bool operator==(const Layout&) const = default;
};

/// The nineteen texts of the certificate in hand, index = item.
using ItemTexts = std::array<QString, kItemCount>;

/// The fixed caption of item i ("種目", "記録", ...): its name in the window and its
/// placeholder text.
QString itemCaption(int item);

/// The layout of a fresh window, and what a missing layout file is replaced with.
Layout defaultLayout();

/// The item texts at start-up: the captions, and the free texts in their items.
ItemTexts startupItemTexts(const Layout& layout);

} // namespace tarvel
