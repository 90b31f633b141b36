#include "layout/certificateitems.h"

namespace tarvel {

namespace {

struct ItemDefault {
    const char16_t* caption;
    int x;
    int y;
    int size;
};

// The nineteen items in their fixed order; every switch starts on.
constexpr ItemDefault kItems[kItemCount] = {
    {u"種目", 0, 3200, 35},        {u"記録", 0, 4000, 36},      {u"順位", 0, 4800, 37},
    {u"備考", 5758, 0, 24},        {u"名前", 5758, 800, 25},    {u"県名", 5758, 1600, 26},
    {u"所属", 5758, 2400, 27},     {u"学年", 5758, 3200, 28},   {u"年齢", 5758, 4000, 29},
    {u"所属番号", 5758, 4800, 30}, {u"年月日", 0, 0, 31},       {u"大会名", 0, 800, 32},
    {u"場所", 0, 1600, 33},        {u"テキスト1", 0, 6000, 40}, {u"テキスト2", 0, 7000, 50},
    {u"テキスト3", 0, 8000, 60},   {u"テキスト4", 0, 9000, 70}, {u"テキスト5", 0, 10000, 80},
    {u"区分", 0, 2400, 34},
};

} // namespace

QString itemCaption(int item)
{
    if (item < 0 || item >= kItemCount)
        return {};
    return QString::fromUtf16(kItems[item].caption);
}

Layout defaultLayout()
{
    Layout layout;
    layout.rankLimitIndividual = u"3"_qs;
    layout.rankLimitRelay = u"3"_qs;
    for (int i = 0; i < kItemCount; ++i) {
        ItemLayout& item = layout.items[i];
        item.switchState = kSwitchOn;
        item.x = QString::number(kItems[i].x);
        item.y = QString::number(kItems[i].y);
        item.size = QString::number(kItems[i].size);
    }
    // The free texts start as the captions of their items.
    for (int k = 0; k < kFreeTextCount; ++k)
        layout.freeTexts[k] = itemCaption(freeTextItem(k));
    return layout;
}

ItemTexts startupItemTexts(const Layout& layout)
{
    ItemTexts texts;
    for (int i = 0; i < kItemCount; ++i)
        texts[i] = itemCaption(i);
    for (int k = 0; k < kFreeTextCount; ++k)
        texts[freeTextItem(k)] = layout.freeTexts[k];
    return texts;
}

} // namespace tarvel
