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

/// Option indices follow the window's option buttons, the choices of printchoices.h; an
/// index outside a group's range selects nothing.
struct PrintOptions {
    PrintCondition condition = PrintCondition::Simultaneous;
    /// optKyori: 0 全部, 1 "25", 2 "50", 3 "100", 4 "200", 5 "400", 6 "800", 7 "1500".
    int distance = 0;
    /// optShu: 0 全部, 1 自由, 2 背泳, 3 平泳, 4 バタ, 5 個メ, 6 ＭＲ, 7 ＦＲ.
    int stroke = 0;
    /// optYoketu: 0 全部, 1 予選, 2 決勝, 3 コン, 4 準決.
    int round = 2;
    /// optSei: 0 全部, 1 男子, 2 女子.
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
