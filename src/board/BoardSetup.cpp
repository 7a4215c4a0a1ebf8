// A level's setup: what its number gives and what its file overrides.
#include "board/BoardSetup.h"

#include <cmath>

// More often and more of them in hard mode.
BoardSetup LevelSetup(int level, bool hardMode, int32_t gemGoal)
{
    BoardSetup setup;
    setup.level = level;
    setup.hardMode = hardMode;
    setup.gemGoal = gemGoal;
    const float k = hardMode ? 1.5f : 1.0f;
    setup.colours.push_back(0);
    if (level > 3 || hardMode)
        setup.colours.push_back(1);
    for (int32_t c : {2, 3, 4, 5})
        setup.colours.push_back(c);
    if (level > 8 || hardMode)
        setup.colours.push_back(6);
    if (level > 13) {
        setup.steelRate = 0.001f * k * static_cast<float>(level - 13) + 0.005f;
        setup.steelCap = static_cast<int32_t>(std::floor(0.1f * k * static_cast<float>(level - 13))) + 1;
    }
    if (level > 5) {
        setup.lockRate = 0.001f * k * static_cast<float>(level - 5) + 0.0025f;
        setup.lockCap = static_cast<int32_t>(std::floor(0.075f * k * static_cast<float>(level - 5))) + 1;
    }
    return setup;
}

void ApplyLevelFile(BoardSetup* setup, const CountedHandle<CLevelData>& data)
{
    setup->levelData = data;
    if (!data || data->notParsed)
        return;
    const CLevelData& level = *data;
    if (!level.colours.empty())
        setup->colours = level.colours;
    const float rateFactor = setup->hardMode ? 1.25f : 1.0f;
    auto cap = [setup](int32_t given) {
        return setup->hardMode ? static_cast<int32_t>(static_cast<int64_t>(given) * 2 / 3) : given;
    };
    if (level.steelCap >= 0) {
        setup->steelRate = level.steelRate * rateFactor;
        setup->steelCap = cap(level.steelCap);
    }
    if (level.lockCap >= 0) {
        setup->lockRate = level.lockRate * rateFactor;
        setup->lockCap = cap(level.lockCap);
    }
    if (level.gemsCount >= 0)
        setup->gemGoal = level.gemsCount;
}

// A file that fails is kept all the same (it says which file the level
// wanted), but gives nothing.
bool LoadLevelFile(BoardSetup* setup, const std::string& path)
{
    auto data = MakeCountedHandle(new CLevelData());
    const bool parsed = data->Parse(path) != 0;
    ApplyLevelFile(setup, data);
    return parsed;
}
