// The trophy levels file and the description text: every level read stays in
// its kind's range, and any text splits into descriptions without fault.
#include "records/Trophies.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CTrophies trophies;
    trophies.Parse(data, size);
    for (int k = 0; k < CTrophies::kKinds; ++k)
        if (trophies.levels[k] < 0 || trophies.levels[k] > CTrophies::kLevels[k])
            __builtin_trap();
    trophies.ParseDescriptions(std::string(reinterpret_cast<const char*>(data), size));
    for (int k = 0; k < CTrophies::kKinds; ++k)
        if (trophies.descriptions[k].size() != static_cast<size_t>(CTrophies::kLevels[k]))
            __builtin_trap();
    return 0;
}
