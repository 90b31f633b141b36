#pragma once
/// The operator's choices that a print run reads: which races qualify and which
/// certificates are printed. One plain value, filled by the window or by tarvel-batch.

#include "layout/drawing.h"

#include <QSet>
#include <QString>

namespace tarvel {

/// Which race statuses qualify a race for printing.
enum class PrintCondition {
    Simultaneous, ///< 同時: status "8" only, so a race is printed once
    Anytime,      ///< 随時: "8" or any later character code, so marked races print again
};

/// The round chosen at start, in the window and in tarvel-batch: 決勝, an index of
/// kRoundChoices (printchoices.h, which includes this header and checks the index).
inline constexpr int kInitialRoundChoice = 2;

/// Option indices follow the window's option buttons, the choices of printchoices.h; an
/// index outside a group's range selects nothing.
struct PrintOptions {
    PrintCondition condition = PrintCondition::Simultaneous;
    /// optKyori: an index of kDistanceChoices (0 全部).
    int distance = 0;
    /// optShu: an index of kStrokeChoices (0 全部).
    int stroke = 0;
    /// optYoketu: an index of kRoundChoices (0 全部, 2 決勝), which is the round code.
    int round = kInitialRoundChoice;
    /// optSei: an index of kSexChoices (0 全部), which is the race's sex code.
    int sex = 0;
    /// txtQbango (旧番号): the start of the registration number; empty tests nothing.
    QString numberPrefix;
    /// txtJun(0) and txtJun(1): the highest rank printed, read by its numeric value.
    QString rankLimitIndividual = QStringLiteral("3");
    QString rankLimitRelay = QStringLiteral("3");
    /// chkInsatu (プレビューのみ): compose and preview only; nothing printed, nothing marked.
    PreviewOnly previewOnly = PreviewOnly::No;
    /// Races passed over this time as if not ready, with the earlier heats of their events
    /// (automatic printing holds back an event that failed a moment ago).
    QSet<int> heldBack;
};

} // namespace tarvel
