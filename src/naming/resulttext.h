#pragma once
/// The texts of a lane's result and of a new record's class.

#include <QString>

namespace tarvel {

/// Result values at and above which a lane's result is a code, not a time.
inline constexpr qint32 kParticipation = 666666;
inline constexpr qint32 kNoResult = 999999;

/// A result as printed: a time MMSSCC as eight characters (" 1:23.45", "   54.32"), or the
/// word of a result code ("参加", "ｽﾀｰﾄ", ..., "" for 999999); values 0 to 9 give "".
QString formatResult(qint32 value);

/// The two-character name of a record class 1 to 31 ("世界", "県　", "大会"); "" otherwise.
QString recordClassName(qint16 code);

} // namespace tarvel
