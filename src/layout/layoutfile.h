#pragma once
/// The layout file tarvel.dat: 83 comma-terminated fields on one line, in cp932.

#include "layout/certificateitems.h"
#include "meetdb/datalocations.h"

#include <QByteArray>

namespace tarvel {

inline constexpr char16_t kLayoutFileName[] = u"tarvel.dat";

inline constexpr int kLayoutFieldCount = 83;

enum class LayoutLoad {
    Complete, ///< all 83 fields were read
    Created,  ///< there was no file (a first start): it was written from `layout`
    Repaired, ///< the file was there but the load stopped early; rewritten from `layout`
};

struct LayoutLoadResult {
    LayoutLoad outcome = LayoutLoad::Complete;
    /// When repaired: the field (1 to 83) that could not be read, and why, in words for
    /// the operator. Fields from this one on hold what `layout` held before the load.
    int field = 0;
    QString why;
};

/// Reads dataDir + "tarvel.dat" into `layout`, field by field in file order. Any failure
/// (no file, fewer than 83 fields, a switch that is not 0, 1 or 2) stops the load where it
/// is: fields read before keep their loaded values, the rest keep what `layout` held, and
/// the file is rewritten at once from that state. Fields after 83 are ignored.
/// Throws tarvel::Failure only when that rewrite fails.
LayoutLoadResult loadLayout(const DataLocations& where, Layout& layout);

/// Replaces dataDir + "tarvel.dat" with the layout. Throws tarvel::Failure.
void saveLayout(const DataLocations& where, const Layout& layout);

/// The file's bytes: each field's text followed by ",", no line break. A free text that
/// would not read back as written (a comma or line break in it, a leading blank or double
/// quote) is written double-quoted; other texts byte for byte.
QByteArray encodeLayout(const Layout& layout);

/// Whether a free text can be stored so that it reads back unchanged; the one kind that
/// cannot (it needs quotes and holds a double quote) is refused at entry.
bool isStorableFreeText(const QString& text);

/// Whether a rank limit, X, Y or size text is stored as it stands: no comma and no double
/// quote (a number never needs one, and "12 typed with a leading quote would read back
/// as 12). The boxes refuse anything else as it is typed.
bool isStorableNumberText(const QString& text);

} // namespace tarvel
