#pragma once
/// The layout file tarvel.dat: 83 comma-terminated fields on one line, in cp932.

#include "layout/certificateitems.h"
#include "meetdb/datalocations.h"

#include <QByteArray>

namespace tarvel {

inline constexpr char16_t kLayoutFileName[] = u"tarvel.dat";

enum class LayoutLoad {
    Complete, ///< all 83 fields were read
    Repaired, ///< the load stopped early and the file was rewritten from `layout`
};

/// Reads dataDir + "tarvel.dat" into `layout`, field by field in file order. Any failure
/// (no file, fewer than 83 fields, a switch that is not 0, 1 or 2) stops the load where it
/// is: fields read before keep their loaded values, the rest keep what `layout` held, and
/// the file is rewritten at once from that state. Fields after 83 are ignored.
/// Throws tarvel::Failure only when that rewrite fails.
LayoutLoad loadLayout(const DataLocations& where, Layout& layout);

/// Replaces dataDir + "tarvel.dat" with the layout. Throws tarvel::Failure.
void saveLayout(const DataLocations& where, const Layout& layout);

/// The file's bytes: each field's text followed by ",", no line break. A free text that
/// would not read back as written (a comma or line break in it, a leading blank or double
/// quote) is written double-quoted; other texts byte for byte.
QByteArray encodeLayout(const Layout& layout);

/// Whether a free text can be stored so that it reads back unchanged; the one kind that
/// cannot (it needs quotes and holds a double quote) is refused at entry.
bool isStorableFreeText(const QString& text);

} // namespace tarvel
