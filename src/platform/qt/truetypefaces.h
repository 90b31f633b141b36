#pragma once
/// Faces read for the plain PDF writer, kept for every document and device after.

#include "platform/qt/truetypefont.h"

#include <QHash>
#include <QString>

#include <memory>
#include <mutex>

class QRawFont;

namespace tarvel {

/// Reading a face copies its outlines (milliseconds for a face of CJK glyphs). A desk reads
/// each face once and hands the store to every list destination it opens, so a run of one
/// race does not read the faces again for its one list. Any thread: the faces handed out
/// are never changed.
class TrueTypeFaces {
public:
    /// The face that `raw` is drawn from, read the first time it is asked for; null when it
    /// cannot be embedded (not TrueType, or damaged).
    std::shared_ptr<const TrueTypeFont> of(const QRawFont& raw);

private:
    std::mutex mutex_;
    /// By family and style; null for a face that cannot be embedded.
    QHash<QString, std::shared_ptr<const TrueTypeFont>> faces_;
};

} // namespace tarvel
