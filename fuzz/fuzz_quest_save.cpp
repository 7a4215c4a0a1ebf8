// Any byte string either loads as a quest save or is refused; one that loads
// writes back out as an image that loads again to the same record.
#include "records/QuestSave.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CQuestSave save;
    if (save.Parse(data, size) != CQuestSave::Ok)
        return 0;
    const std::vector<uint8_t> image = save.Serialize();
    CQuestSave again;
    if (again.Parse(image.data(), image.size()) != CQuestSave::Ok || again.Serialize() != image)
        __builtin_trap();
    return 0;
}
