#pragma once
/// Labels of the two-character grade and class codes.

#include <QString>

namespace tarvel {

/// The label of a grade or class code under a class scheme (0 and 1: school grades and age
/// classes; 2: the lettered classes; others: none). The code is normalised to its last two
/// characters after two blanks are put in front, so " 5", "5" and "05" are one code and a
/// number's text (" 22") is a valid code. May return "".
QString classLabel(const QString& code, qint16 scheme);

} // namespace tarvel
