#pragma once
/// The print conditions as choices: the window's option buttons and tarvel-batch's option
/// words, from one table.

#include "naming/events.h"
#include "printrun/printoptions.h"

#include <QString>
#include <QStringList>

#include <iterator>
#include <span>
#include <string_view>

namespace tarvel {

/// One choice of a group: the word tarvel-batch takes, and the caption of the window's
/// option button (which tarvel-batch takes too).
struct PrintChoice {
    const char* word;
    const char16_t* caption;
};

/// A group of choices in the order of the window's option buttons (the index is the
/// option's index), its caption, and the choice selected at start.
struct PrintChoiceGroup {
    const char* option; ///< tarvel-batch's option name
    const char16_t* caption;
    std::span<const PrintChoice> choices;
    int initial;

    /// The index of the choice named `text` by its word or its caption; -1 for none.
    int indexOf(const QString& text) const;
    /// "simultaneous (同時), anytime (随時)".
    QString describe() const;
};

inline constexpr PrintChoice kConditionChoices[] = {{"simultaneous", u"同時"},
                                                    {"anytime", u"随時"}};
inline constexpr PrintChoice kDistanceChoices[] = {
    {"all", u"全部"}, {"25", u"25"},   {"50", u"50"},   {"100", u"100"},
    {"200", u"200"},  {"400", u"400"}, {"800", u"800"}, {"1500", u"1500"}};
inline constexpr PrintChoice kStrokeChoices[] = {
    {"all", u"全部"}, {"free", u"自由"}, {"back", u"背泳"},         {"breast", u"平泳"},
    {"fly", u"バタ"}, {"im", u"個メ"},   {"medley-relay", u"ＭＲ"}, {"free-relay", u"ＦＲ"}};
inline constexpr PrintChoice kRoundChoices[] = {{"all", u"全部"},
                                                {"heats", u"予選"},
                                                {"final", u"決勝"},
                                                {"consolation", u"コン"},
                                                {"semifinal", u"準決"}};
inline constexpr PrintChoice kSexChoices[] = {
    {"all", u"全部"}, {"men", u"男子"}, {"women", u"女子"}};

inline constexpr PrintChoiceGroup kConditionGroup{"condition", u"", kConditionChoices, 0};
inline constexpr PrintChoiceGroup kDistanceGroup{"distance", u"距離", kDistanceChoices, 0};
inline constexpr PrintChoiceGroup kStrokeGroup{"stroke", u"種目", kStrokeChoices, 0};
inline constexpr PrintChoiceGroup kRoundGroup{"round", u"予決", kRoundChoices, kInitialRoundChoice};
inline constexpr PrintChoiceGroup kSexGroup{"sex", u"性別", kSexChoices, 0};

static_assert(std::string_view(kRoundChoices[kInitialRoundChoice].word) == "final");

/// How many option buttons each filter has; PrintOptions' indices run below these.
inline constexpr int kDistanceOptionCount = int(std::size(kDistanceChoices));
inline constexpr int kStrokeOptionCount = int(std::size(kStrokeChoices));
inline constexpr int kRoundOptionCount = int(std::size(kRoundChoices));
inline constexpr int kSexOptionCount = int(std::size(kSexChoices));

/// The metres of kDistanceGroup's choice `index`, read from its word; 0 for 全部 and for an
/// index outside the group.
constexpr int metresOfChoice(int index)
{
    if (index < 1 || index >= kDistanceOptionCount)
        return 0;
    int metres = 0;
    for (const char* digit = kDistanceChoices[index].word; *digit; ++digit)
        metres = metres * 10 + (*digit - '0');
    return metres;
}

/// The stroke of kStrokeGroup's choice `index` is kStrokeOfChoice[index - 1] (全部 is 0).
inline constexpr Stroke kStrokeOfChoice[] = {
    Stroke::Free,        Stroke::Back,     Stroke::Breast, Stroke::Fly, Stroke::IndividualMedley,
    Stroke::MedleyRelay, Stroke::FreeRelay};
static_assert(std::size(kStrokeOfChoice) == kStrokeOptionCount - 1);

/// The condition of kConditionGroup's choice `index`: 1 is anytime, any other simultaneous.
constexpr PrintCondition conditionOfChoice(int index)
{
    return index == 1 ? PrintCondition::Anytime : PrintCondition::Simultaneous;
}

/// The index of kConditionGroup's choice of `condition`.
constexpr int choiceOfCondition(PrintCondition condition)
{
    return condition == PrintCondition::Anytime ? 1 : 0;
}

} // namespace tarvel
