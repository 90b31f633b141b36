#pragma once
/// The award ceremony list drawn as A4 pages, for the presenter at the podium.

#include "ceremony/ceremonylist.h"
#include "platform/printdevice.h"

#include <QDateTime>

namespace tarvel {

/// The printable area the list is laid out in, in twips: A4 within the PDF files' margins.
inline constexpr double kCeremonyPageWidth = 11516.0;
inline constexpr double kCeremonyPageHeight = 16260.0;
/// The smallest text of the list, in points: readable from a podium.
inline constexpr double kCeremonySmallestPoints = 12.0;

/// Draws `list` on `device` in a plain face, black, no text under kCeremonySmallestPoints:
/// per page the meet's name; per event its title, per group its sub-heading, then one line
/// per entry (rank, name, affiliation, prefecture, result, mark; a relay team with its
/// swimmers beneath). A text too wide for its column is condensed a little, and past that
/// carried on to the next line: never cut. Every page's foot says "page x / y" and
/// `printedAt`. Pages are ended; the document is left for the caller to end (it is what
/// delivers it). Returns the number of pages; nothing is drawn for an empty list. Only the
/// device's own failures (a document that cannot be begun) are thrown.
int drawCeremonyList(PrintDevice& device, const CeremonyList& list, const QDateTime& printedAt);

/// The document's name: the event's title, or "表彰者一覧" with the number of events.
QString ceremonyDocumentName(const CeremonyList& list);

} // namespace tarvel
