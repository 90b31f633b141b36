// The number rules on any text: numericValue never fails, the integer conversions round
// halves to even or refuse, and a number's text reads back as that number.

#include "fuzzsupport.h"
#include "platform/failure.h"
#include "platform/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using namespace tarvel;

namespace {

template <typename Int>
void checkConversion(double value, Int (*convert)(double))
{
    try {
        const Int result = convert(value);
        const double distance = std::fabs(double(result) - value);
        fuzz::check(distance <= 0.5, "the conversion gives the nearest integer");
        if (distance == 0.5)
            fuzz::check(result % 2 == 0, "a half goes to the even neighbour");
    } catch (const Failure&) {
        // The upper bound is odd, so its half above rounds up and out; the lower bound is
        // even, so its half below rounds to it and fits.
        const double low = double(std::numeric_limits<Int>::min()) - 0.5;
        const double high = double(std::numeric_limits<Int>::max()) + 0.5;
        fuzz::check(!std::isfinite(value) || value < low || value >= high,
                    "only a number that does not fit is refused");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(fuzz::inputBytes(data, size));
    const double value = numericValue(text);
    fuzz::check(!std::isnan(value), "a text's value is never NaN");
    checkConversion<qint16>(value, toInt16);
    checkConversion<qint32>(value, toInt32);

    qint64 whole = 0;
    std::memcpy(&whole, data, std::min(size, sizeof whole));
    fuzz::check(numericValue(numberText(whole)) == double(whole),
                "a number's text reads back as the number");
    return 0;
}
