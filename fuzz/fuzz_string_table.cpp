// The string table ("Strings.txt"): any text loads or is refused without
// fault, and every id reads back a terminated text no longer than asked for.
#include "FuzzInput.h"
#include "engine/Log.h"
#include "engine/StringTable.h"

#include <cstring>

using fuzz_input::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (SetLogName("/dev/null"), true);
    (void)quiet;
    ClearStrings();
    LoadStrings(fuzz_input::Write("Strings.txt", data, size));
    for (int32_t id : {-1, 0, 1, 2, 7, 100, 1000, 65535, 1 << 30}) {
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        const int copied = GetString(id, buffer, sizeof buffer);
        Check(copied >= 0 && copied < static_cast<int>(sizeof buffer) && std::strlen(buffer) == size_t(copied));
        GetString(id);
    }
    ClearStrings();
    return 0;
}
