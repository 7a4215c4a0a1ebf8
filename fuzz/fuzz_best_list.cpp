// Any byte string either loads as a best list or is refused; one that loads
// writes back out as an image that loads again to the same list.
#include "records/BestList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CBestList list(41);
    if (!list.Parse(data, size))
        return 0;
    const std::vector<uint8_t> image = list.Serialize();
    CBestList again(41);
    if (!again.Parse(image.data(), image.size()) || again.Serialize() != image)
        __builtin_trap();
    return 0;
}
