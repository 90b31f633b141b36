#pragma once
/// The print conditions as choices: the window's option buttons and tarvel-batch's option
/// words, from one table.

#include <QString>
#include <QStringList>

#include <span>

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
inline constexpr PrintChoiceGroup kRoundGroup{"round", u"予決", kRoundChoices, 2};
inline constexpr PrintChoiceGroup kSexGroup{"sex", u"性別", kSexChoices, 0};

} // namespace tarvel
