#include "platform/qt/truetypefaces.h"

#include <QRawFont>

namespace tarvel {

std::shared_ptr<const TrueTypeFont> TrueTypeFaces::of(const QRawFont& raw)
{
    if (!raw.isValid())
        return nullptr;
    const QString key = raw.familyName() + u'\n' + raw.styleName();
    // Read under the lock: two threads that want a new face wait for one reading of it.
    const std::lock_guard lock(mutex_);
    auto found = faces_.constFind(key);
    if (found == faces_.constEnd()) {
        auto font = std::make_shared<const TrueTypeFont>(raw);
        found = faces_.insert(key, font->isValid() ? font : nullptr);
    }
    return found.value();
}

} // namespace tarvel
