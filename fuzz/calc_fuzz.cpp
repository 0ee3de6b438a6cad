// Arbitrary texts in the sixteen fields: a pass never crashes, and when it
// completes every output it wrote is consistent with the texts it read.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    kq71wb::Sheet sheet;
    const std::string input(reinterpret_cast<const char*>(data), size);
    // Fields are separated by a 0xFF byte, as no field text needs one.
    std::size_t start = 0;
    for (int field = 0; field < 2 * kq71wb::Sheet::kRowCount && start <= input.size(); ++field) {
        std::size_t end = input.find('\xff', start);
        if (end == std::string::npos)
            end = input.size();
        auto& target = field % 2 == 0 ? sheet.weight : sheet.arm;
        target[static_cast<std::size_t>(field / 2)] = input.substr(start, end - start);
        start = end + 1;
    }
    const std::optional<kq71wb::CalcFault> fault = kq71wb::Calc(sheet);
    if (!fault && sheet.grossWeightVerdict && (!sheet.flyCgVerdict || !sheet.sliderValue))
        std::abort();
    if (fault && (fault->row < -1 || fault->row >= kq71wb::Sheet::kRowCount))
        std::abort();
    return 0;
}
