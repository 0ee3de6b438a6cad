// Any bytes as a loadings file: the reader never crashes, and every text it
// gives is valid UTF-8 within the field limit.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "loadings.h"
#include "text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const kq71wb::Loadings loadings =
        kq71wb::parseLoadings(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const kq71wb::Loading& loading : loadings)
        for (const std::string* text : {&loading.name, &loading.weight, &loading.arm})
            if (text->size() > kq71wb::kMaxFieldBytes || !kq71wb::isValidUtf8(*text))
                std::abort();
    return 0;
}
