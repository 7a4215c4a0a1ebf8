// Any byte string gives a full table (read or defaulted) in descending order;
// one that loads writes back out as an image that loads again.
#include "records/HiscoreTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CHiscoreTable table;
    const int loaded = table.Parse(data, size);
    if (!table.HasStorage())
        __builtin_trap();
    if (!loaded)
        return 0;
    for (int i = 1; i < table.count; ++i)
        if (table.scores[static_cast<size_t>(i - 1)] < table.scores[static_cast<size_t>(i)])
            __builtin_trap();
    const std::vector<uint8_t> image = table.Serialize();
    CHiscoreTable again;
    if (!again.Parse(image.data(), image.size()) || again.Serialize() != image)
        __builtin_trap();
    return 0;
}
