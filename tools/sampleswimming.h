#pragma once
/// The sample meet's invented people and clubs, and the model its swim times come from.

#include "naming/events.h"

#include <QString>
#include <QtGlobal>

#include <iterator>

namespace tarvel::sample {

struct Club {
    const char16_t* name;
    const char16_t* prefecture;
    const char16_t* number; // the five digits that start a registration number
};

// Every club, school and person here is invented.
inline constexpr Club kClubs[] = {
    {u"みなと川ＳＣ", u"静岡県", u"22011"}, {u"若鮎スイム", u"静岡県", u"22015"},
    {u"カモメＳＳ", u"愛知県", u"23007"},   {u"浜風中学校", u"神奈川県", u"14021"},
    {u"潮見ＳＣ", u"神奈川県", u"14033"},   {u"白波ＳＷ", u"愛知県", u"23019"},
};
inline constexpr int kClubCount = int(std::size(kClubs));

inline constexpr const char16_t* kFamilies[] = {u"泳田", u"波野", u"浜辺", u"磯村", u"瀬川",
                                                u"滝口", u"泉谷", u"岬田", u"渚原", u"汐崎",
                                                u"水城", u"川波", u"帆足", u"舟橋"};
inline constexpr const char16_t* kBoys[] = {u"一郎", u"翔太", u"海斗", u"湊", u"大河",
                                            u"航",   u"陸",   u"櫂",   u"颯", u"渉"};
inline constexpr const char16_t* kGirls[] = {u"花子", u"美咲", u"凪", u"七海", u"葵",
                                             u"渚",   u"澪",   u"舞", u"汐里", u"波留"};

enum class Sex { Boys, Girls, Mixed };

/// The master file's sex code of a swimmer: "1" or "2".
QString sexCode(Sex sex);
/// The race file's sex code of a race: "1", "2", or "3" for a mixed race.
QString raceSex(Sex sex);
/// School grade code of an age: 小 11 to 16, 中 21 to 23, 高 31 to 33, 大 41.
QString gradeCode(int age);

/// Seconds per 100 m of a 15- to 16-year-old boy, by stroke (a relay's legs as its stroke's).
double basePer100(Stroke stroke);
/// How much slower than a 15- to 16-year-old a swimmer of `age` is.
double ageFactor(int age);
/// How much longer than 100 m a race of `metres` takes, with the tiring of longer races.
double distanceFactor(int metres);
/// A time in hundredths as the race file writes it: MMSSCC in decimal digits.
qint32 resultOf(qint64 hundredths);

} // namespace tarvel::sample
