#pragma once
/// Ordering of the finisher keys of an event.

#include <QString>
#include <QStringList>

namespace tarvel {

/// Sorts elements 1 to n of `list` ascending by code unit, in place, by a Shell sort with
/// gaps 2^k - 1 that exchanges equal elements (the order of equal keys is observable, so
/// the algorithm is kept). Element 0 and elements past n are neither read nor moved; n is
/// clamped to the list.
void sortKeys(QStringList& list, int n);

} // namespace tarvel
