#pragma once
/// What one run of the program holds from start-up on: where the meet is, its header, the
/// layout and the texts of the certificate in hand.

#include "layout/certificateitems.h"
#include "layout/layoutfile.h"
#include "layout/layoutini.h"
#include "meetdb/datalocations.h"
#include "naming/meetsettings.h"

#include <QString>

namespace tarvel {

/// Owned by the window or by tarvel-batch and passed by reference to the print run, which
/// updates itemText as it composes (it keeps the last certificate's texts).
struct Session {
    DataLocations where;
    MeetSettings meet;
    Layout layout;
    ItemTexts itemText{};
    /// How the layout file was read at start-up: a repaired file is reported to the
    /// operator once.
    LayoutLoadResult layoutLoad;
    /// The blank certificate shown behind the previews (tarvel.ini); never printed.
    Backdrop backdrop;
};

/// The start-up without a window, in the window's order: the location file (relative to the working
/// directory), the item captions and free texts, the layout file (created or repaired by its load)
/// and tarvel.ini beside it, the free texts loaded into their items, then the meet header (which
/// may move the master file). Throws tarvel::Failure when the location file is missing or short,
/// when the data folder it names does not exist (before anything is written), or when the layout
/// file cannot be rewritten; writes nothing else.
Session startSession(const QString& locationFile = QString::fromUtf16(kLocationFile));

} // namespace tarvel
