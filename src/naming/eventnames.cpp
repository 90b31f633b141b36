#include "naming/eventnames.h"

#include "meetdb/classlabel.h"
#include "meetdb/masterfile.h"
#include "naming/events.h"
#include "platform/numbers.h"

namespace tarvel {

namespace {

constexpr qint16 kNoUpperBound = 100;

struct NamedRange {
    qint16 low;
    qint16 high;
    const char16_t* text;
};

// Class-code ranges with a name of their own. (11, 13) and (14, 16) are decided before
// this table is consulted.
constexpr NamedRange kNamedRanges[] = {
    {11, 13, u"小学1-3年"}, {14, 16, u"小学4-6年"}, {11, 16, u"小学生"},    {11, 23, u"小中生"},
    {21, 23, u"中学生"},    {21, 33, u"中高生"},    {31, 33, u"高校生"},    {41, 44, u"大学生"},
    {41, 100, u"一般"},     {50, 100, u"一般"},     {51, 63, u"ﾏｽﾀｰｽﾞ"},    {64, 69, u"ﾏｽﾀｰｽﾞ"},
    {64, 64, u"90-119歳"},  {65, 65, u"120-159歳"}, {66, 66, u"160-199歳"}, {67, 67, u"200-239歳"},
    {68, 68, u"240-279歳"}, {69, 69, u"280歳以上"}, {71, 76, u"実業団"},    {71, 71, u"一般"},
    {72, 72, u"20以上"},    {73, 73, u"25以上"},    {74, 74, u"30以上"},    {75, 75, u"40以上"},
    {76, 76, u"50以上"},    {81, 81, u"育成 低"},   {82, 82, u"育成 中"},   {83, 83, u"育成 高"},
    {84, 84, u"Ｌ"},        {85, 88, u"健福祭"},    {85, 85, u"健福祭60"},  {86, 86, u"健福祭65"},
    {87, 87, u"健福祭70"},  {88, 88, u"健福祭75"},  {89, 89, u"少年"},      {90, 90, u"青年"},
    {91, 91, u"壮年"},      {92, 92, u"spＭ"},
};

/// Classes by age in years; a later rule replaces what an earlier one built.
QString ageClassName(qint16 low, qint16 high)
{
    if (low == 17 && high == kNoUpperBound)
        return u" 18才以下"_qs;
    const bool noLowerBound = low == 0 || low == 1;
    QString text = numberText(low) + u'-' + numberText(high) + u"才"_qs;
    if (noLowerBound)
        text = numberText(high) + u"才以下"_qs;
    if (high == kNoUpperBound)
        text = numberText(low) + u"才以上"_qs;
    if (low == high)
        text = numberText(low) + u"才"_qs;
    if (noLowerBound && high == kNoUpperBound)
        text = QString();
    return text;
}

/// Classes by grade or class code; a later rule replaces what an earlier one built.
QString codeClassName(qint16 low, qint16 high, qint16 classScheme)
{
    if (low == 0 && high == kNoUpperBound)
        return QString();
    const bool noLowerBound = low == 0 || low == 1;
    const QString lowLabel = classLabel(numberText(low), classScheme);
    const QString highLabel = classLabel(numberText(high), classScheme);
    QString text = lowLabel + u'-' + highLabel;
    if (noLowerBound && high == kNoUpperBound)
        return u"無差別"_qs;
    if (noLowerBound)
        text = highLabel + u"以下 "_qs;
    if (high == kNoUpperBound)
        text = lowLabel + u"以上 "_qs;
    if (low == high)
        text = lowLabel + u' ';
    for (const NamedRange& range : kNamedRanges) {
        if (range.low == low && range.high == high)
            return QString::fromUtf16(range.text);
    }
    return text;
}

} // namespace

QString eventName(qint16 eventCode, const DataLocations& where)
{
    if (const BuiltInEvent* event = builtInEvent(eventCode))
        return QString::fromUtf16(event->name);
    if (!isCustomEvent(eventCode))
        return QString();
    // Read afresh: the meet-management system may rename a custom event during the meet.
    const CustomEventTable table = readCustomEventTable(where);
    return cleanText(table.customEventName[eventCode - kFirstCustomEvent], 3);
}

QString className(qint16 classLow, qint16 classHigh, qint16 eventCode, const ClassNaming& naming)
{
    if (isCustomEvent(eventCode)) {
        const CustomEventTable table = readCustomEventTable(naming.where);
        return cleanText(table.customDivision[eventCode - kFirstCustomEvent], 3);
    }
    if (eventCode > kLastCustomEvent)
        return QString();

    const double groupMode = numericValue(naming.groupMode);
    if (groupMode == 1)
        return ageClassName(classLow, classHigh);
    if (groupMode == 2)
        return codeClassName(classLow, classHigh, naming.classScheme);
    return QString();
}

} // namespace tarvel
