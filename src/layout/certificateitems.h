#pragma once
/// The nineteen certificate items, the layout state and the texts of the certificate in hand.

#include <QString>

#include <array>

namespace tarvel {

inline constexpr int kItemCount = 19;
inline constexpr int kFreeTextCount = 5;
/// Item 13 + k shows free text k.
inline constexpr int kFirstFreeTextItem = 13;

/// Whether item `item` (0-based) holds one of the operator's free texts.
constexpr bool isFreeTextItem(int item)
{
    return item >= kFirstFreeTextItem && item < kFirstFreeTextItem + kFreeTextCount;
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

/// The item texts at start-up: the captions, and the free texts for items 13 to 17.
ItemTexts startupItemTexts(const Layout& layout);

} // namespace tarvel
