// A player whose quest stands one swap before a bonus level: the quest
// resumes a level in play with one gem left on a board where one swap
// strikes it. The game's tests and the end-to-end walk start their bonus
// levels from it.
#pragma once

#include "records/Profiles.h"
#include "records/QuestSave.h"

#include <string>

namespace one_gem_left {

// The swap that strikes the gem: the gem token at (3, 5) goes up to (3, 4).
constexpr int kFromColumn = 3, kFromRow = 5, kToColumn = 3, kToRow = 4;

// The player's settings: the quest's help on (a bonus level tells its
// rules) with every lesson seen, so that no lesson stops the level.
inline bool WriteSettings(const std::string& playerFolder, const std::string& name)
{
    CProfile profile(name);
    profile.questTutorial = 1;
    for (int32_t* seen :
         {&profile.tutBase, &profile.tutGem, &profile.tutWrong, &profile.tutTimer, &profile.tutSandbox,
          &profile.tutBonus, &profile.tutTotem, &profile.tutLock, &profile.tutSteel, &profile.tutShop})
        *seen = 1;
    return profile.SaveSettings(playerFolder);
}

// The quest at `level` in play with lives and time to spare and `stars`
// Golden Stars on hand. Five colours repeat five cells apart (no run, no
// move) and a sixth, yellow, lies in three cells: the gem token under the
// third cell of row 4 makes a run of three when it swaps up.
inline CQuestSave Save(int level, int stars)
{
    CQuestSave save;
    save.state = CQuestSave::kStored;
    save.resumeKind = CQuestSave::kResumeInPlay;
    save.level = level;
    save.lives = 3;
    save.timeLeft = 200.0f;
    save.nextTimeWarning = 30.0f;
    save.gemsLeft = 1;
    save.gemGoal = 0;
    save.stars = stars;
    save.SizeGrids();
    const int base[5] = {0, 2, 3, 4, 5};
    constexpr int kYellow = 1;
    for (int r = 0; r < CQuestSave::kRows; ++r)
        for (int c = 0; c < CQuestSave::kColumns; ++c)
            save.SetCell(CQuestSave::TokenCodes, r, c, base[(c + 3 * r) % 5] + 1);
    save.SetCell(CQuestSave::TokenCodes, kToRow, kToColumn - 2, kYellow + 1);
    save.SetCell(CQuestSave::TokenCodes, kToRow, kToColumn - 1, kYellow + 1);
    save.SetCell(CQuestSave::TokenCodes, kFromRow, kFromColumn, ~kYellow);
    return save;
}

// Both into the player's folder (which exists), the save as "Quest.sav".
inline bool WritePlayer(const std::string& playerFolder, const std::string& name, int level, int stars)
{
    CQuestSave save = Save(level, stars);
    return WriteSettings(playerFolder, name) && save.Save(playerFolder + "\\Quest.sav") == 1;
}

} // namespace one_gem_left
