// The end-to-end scripts' hand: it writes the quest saves a walk starts
// from, through the records library, as the game would have written them.
//
//   e2e_fixtures bonus <player folder> <kind> <level>
//
// "bonus" makes the player a veteran (no lessons come in the way) and
// writes a quest of level 12 in play with a still board: five colours in a
// pattern that makes no run and no move, three white tokens that the swap
// of cell (4, 4) with (4, 3) lines up in row 3, a bonus of the kind (2 TNT,
// 3 lightning, 4 clock, 5 adviser, 6 score, 7 solidarity) at the level on
// the white token of cell (3, 3), and two more white tokens below it, near
// enough for a solidarity bolt to reach both within 0.2 s. 200 seconds
// left, eight gems to collect.
#include "records/Profiles.h"
#include "records/QuestSave.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int32_t kWhite = 5;

// The white tokens besides the three the swap lines up.
constexpr int kLoneWhites[][2] = {{3, 5}, {4, 6}};

int WriteBonusQuest(const std::string& playerFolder, int32_t kind, int32_t level)
{
    CProfile player("Player");
    player.LoadSettings(playerFolder);
    player.veteran = 1;
    player.questTutorial = 0;
    if (!player.SaveSettings(playerFolder))
        return 1;

    CQuestSave save;
    save.state = CQuestSave::kStored;
    save.questGuid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    save.resumeKind = CQuestSave::kResumeInPlay;
    save.level = 12;
    save.timeLeft = 200.0f;
    save.nextTimeWarning = 30.0f;
    save.lives = 2;
    save.gemsLeft = 8;
    save.gemGoal = 8;
    save.SizeGrids();
    // Green, yellow, red, blue and orange, each colour five cells apart
    // along any row or column.
    for (int r = 0; r < CQuestSave::kRows; ++r)
        for (int c = 0; c < CQuestSave::kColumns; ++c)
            save.SetCell(CQuestSave::TokenCodes, r, c, (c + 3 * r) % 5 + 1);
    const int whites[][2] = {{2, 3}, {3, 3}, {4, 4}};
    for (const auto& cell : whites)
        save.SetCell(CQuestSave::TokenCodes, cell[1], cell[0], kWhite + 1);
    for (const auto& cell : kLoneWhites)
        save.SetCell(CQuestSave::TokenCodes, cell[1], cell[0], kWhite + 1);
    save.SetCell(CQuestSave::BonusKinds, 3, 3, kind);
    save.SetCell(CQuestSave::BonusParams, 3, 3, level);
    return save.Save(QuestSavePath(playerFolder + "\\")) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 4 && a[0] == "bonus")
        return WriteBonusQuest(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()));
    std::fprintf(stderr, "usage: e2e_fixtures bonus <player folder> <kind> <level>\n");
    return 2;
}
