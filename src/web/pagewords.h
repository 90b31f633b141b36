#pragma once
/// The team and desk pages' words: Japanese always, from the program's own Japanese
/// translation, whatever language the desk process speaks (tarvel-batch follows the locale;
/// the pool's phones read Japanese). Any thread.

#include <QString>

namespace tarvel::web {

/// `source`, one of the program's texts in the context "tarvel" (marked with
/// QT_TRANSLATE_NOOP or QT_TRANSLATE_N_NOOP), in Japanese; with `n`, its plural for n.
QString pageWord(const char* source, int n = -1);
/// A text the program made in the operator's language (a job's state, a column's title):
/// in Japanese when it is one of the program's English texts, else as it is.
QString inJapanese(const QString& text);

} // namespace tarvel::web
