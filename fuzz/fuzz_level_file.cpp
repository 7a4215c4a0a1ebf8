// Level files: any text is parsed; a file that parses holds a record the
// board can take as it stands: eight rows of eight characters in every
// section, colours 0..6 in the colour list and the letters' lists, group
// sizes of 0 or more that the colours can deal, rates within 0..1 and bonus
// levels of -1 or more. A refused file leaves the record marked unparsed.
#include "board/LevelData.h"
#include "engine/Log.h"

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool IsColour(int32_t c) { return c >= 0 && c <= 6; }

void CheckRows(const CLevelData::Rows& rows)
{
    for (const std::string& row : rows)
        Check(row.size() == static_cast<size_t>(CLevelData::kRowLength));
}

void CheckRecord(const CLevelData& level)
{
    for (int32_t c : level.colours)
        Check(IsColour(c));
    Check(level.groupLetters.size() == level.groupSizes.size());
    for (int32_t size : level.groupSizes)
        Check(size >= 0);
    Check(level.colours.empty() || level.CheckGroups(static_cast<int>(level.colours.size())));
    Check(level.listLetters.size() == level.lists.size());
    for (const auto& list : level.lists) {
        Check(!list.empty());
        for (int32_t c : list)
            Check(IsColour(c));
    }
    Check(std::isfinite(level.steelRate) && level.steelRate >= 0.0f && level.steelRate <= 1.0f);
    Check(std::isfinite(level.lockRate) && level.lockRate >= 0.0f && level.lockRate <= 1.0f);
    for (int32_t value : level.bonusLevels)
        Check(value >= -1);
    CheckRows(level.beginRows);
    CheckRows(level.lockRows);
    CheckRows(level.bonusRows);
    CheckRows(level.fixedRows);
    CheckRows(level.gemRows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/fuzz_level_file_" + std::to_string(getpid()) + ".lvl";
    static const bool quiet = [] {
        SetLogName("/dev/null");
        return true;
    }();
    (void)quiet;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CLevelData level;
    const int parsed = level.Parse(path);
    Check(level.notParsed == (parsed ? 0 : 1));
    if (parsed)
        CheckRecord(level);
    return 0;
}
