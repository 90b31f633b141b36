// cp932 decoding and encoding: what decodes encodes back to the same text, whatever the
// bytes; any text encodes, and fixed-width fields keep their width.

#include "fuzzsupport.h"
#include "platform/cp932.h"

#include <cstring>

using namespace tarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes = fuzz::inputBytes(data, size);

    const QString text = cp932::decode(bytes);
    fuzz::check(text.size() <= bytes.size(), "decoding gives at most one character a byte");
    const QByteArray encoded = cp932::encode(text);
    fuzz::check(cp932::decode(encoded) == fuzz::asStored(text),
                "decoded text encodes back to the same text");

    // The same bytes read as UTF-16 units: lone surrogates and characters outside cp932.
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size_t(units.size()) * 2);
    const QString once = cp932::decode(cp932::encode(units));
    fuzz::check(cp932::decode(cp932::encode(once)) == once, "encoded text is stable after once");

    const int width = size > 0 ? data[0] % 40 : 0;
    const QByteArray field = cp932::encodeField(text, width);
    fuzz::check(field.size() == width, "a field has exactly its width");
    if (encoded.size() <= width) {
        fuzz::check(field == encoded + QByteArray(width - encoded.size(), ' '),
                    "a text that fits its field is blank-padded");
    }
    return 0;
}
