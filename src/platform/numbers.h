#pragma once
/// The meet-management system's rules between numbers and text.

#include <QString>
#include <QStringView>

namespace tarvel {

/// A number's text: decimal, with one leading blank when not negative (10 gives " 10",
/// -3 gives "-3"). Sort keys, ages and class names depend on this width.
QString numberText(qint64 value);

/// The numeric value of a text: the decimal number it begins with (sign, digits, a
/// fraction and an exponent allowed, blanks skipped); 0 when it begins with none.
double numericValue(QStringView text);

/// Whether the text begins with a number (blanks skipped), i.e. numericValue() reads one
/// rather than falling back to 0.
bool beginsWithNumber(QStringView text);

/// Rounds to the nearest integer, halves to the even neighbour (6.5 gives 6, 7.5 gives 8).
/// Throws tarvel::Failure (Kind::Damaged) when the result does not fit the width.
qint16 toInt16(double value);
qint32 toInt32(double value);

} // namespace tarvel
