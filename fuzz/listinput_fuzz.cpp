// The list-input reader over any bytes: it ends, never reads past its input, and atEnd()
// agrees with next().

#include "fuzzsupport.h"
#include "platform/listinput.h"

using namespace tarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::inputBytes(data, size).toByteArray();
    ListInput input(bytes);
    qsizetype characters = 0;
    // Every item but an empty one at the end uses at least its separator.
    for (size_t items = 0;; ++items) {
        fuzz::check(items <= size + 1, "each item consumes input");
        const bool atEnd = input.atEnd();
        const std::optional<QString> item = input.next();
        fuzz::check(atEnd == !item.has_value(), "atEnd() is true exactly when no item is left");
        if (!item)
            break;
        characters += item->size();
    }
    fuzz::check(characters <= bytes.size(), "items never hold more characters than bytes");
    fuzz::check(!input.next().has_value(), "the end stays the end");
    return 0;
}
