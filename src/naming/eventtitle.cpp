#include "naming/eventtitle.h"

#include <QStringList>

namespace tarvel {

namespace {

QString sexWord(const QString& raceSex)
{
    if (raceSex == u"1")
        return u"男子"_qs;
    if (raceSex == u"2")
        return u"女子"_qs;
    return {};
}

QString roundWord(const QString& roundCode)
{
    if (roundCode == u"1")
        return u"予選"_qs;
    if (roundCode == u"2")
        return u"決勝"_qs;
    if (roundCode == u"3")
        return u"コンソレーション"_qs;
    if (roundCode == u"4")
        return u"準決勝"_qs;
    return {};
}

} // namespace

QString raceLabel(int raceNo)
{
    return u"R%1"_qs.arg(raceNo, 3, 10, QChar(u'0'));
}

QString eventTitle(int raceNo, const RaceRecord& race, const QString& eventName)
{
    QStringList words{raceLabel(raceNo)};
    const QString parts[] = {sexWord(race.raceSex), eventName.trimmed(), roundWord(race.roundCode)};
    for (const QString& word : parts) {
        if (!word.isEmpty())
            words << word;
    }
    return words.join(u' ');
}

} // namespace tarvel
