// Any text at all: ValueOfText either reads a finite number or says overflow,
// and what TextOfDouble writes of it reads back to a finite number as well;
// nothing less that figure (worked in decimal) is that number negated.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kq71wb::decimalDifference(900, text);
    const std::optional<double> value = kq71wb::ValueOfText(text);
    if (!value)
        return 0;
    if (!std::isfinite(*value))
        std::abort();
    const std::string written = kq71wb::TextOfDouble(*value);
    // Rounding to 15 digits may push the largest doubles just past the range.
    const std::optional<double> back = kq71wb::ValueOfText(written);
    if (back && std::fabs(*value) < 1e308 && !(std::fabs(*back - *value) <= std::fabs(*value) * 1e-14))
        std::abort();
    if (back && kq71wb::decimalDifference(0, written) != -*back)
        std::abort();
    kq71wb::kilogramsOf(written, 1, kq71wb::Rounding::Up);
    kq71wb::FormatCg(*value);
    kq71wb::NearestInteger(*value);
    return 0;
}
