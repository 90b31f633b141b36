#pragma once
/// The printed names of an event and of a race's class.

#include "meetdb/datalocations.h"

#include <QString>

namespace tarvel {

/// What naming a class needs besides the race's codes.
struct ClassNaming {
    /// Where the custom event table is read from (events 30 to 44).
    const DataLocations& where;
    /// The meet's group mode text (numeric value 1: by age, 2: by class code).
    QString groupMode;
    /// The class scheme of the master file's header, for classLabel.
    qint16 classScheme = 0;
};

/// Built-in events 1 to 29 by table; custom events 30 to 44 from the master file's custom
/// table, read afresh on every call; codes below 1 and from 45 up give "".
/// Throws tarvel::Failure when the master file cannot be read.
QString eventName(qint16 eventCode, const DataLocations& where);

/// The class of a race: built-in events by the group mode (ages, or class codes and the
/// named ranges), custom events 30 to 44 from the custom table; from 45 up "".
QString className(qint16 classLow, qint16 classHigh, qint16 eventCode, const ClassNaming& naming);

} // namespace tarvel
