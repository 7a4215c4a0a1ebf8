// The end-to-end scripts' hand: it writes the quest saves a walk starts
// from, through the records library, as the game would have written them.
//
//   e2e_fixtures bonus <player folder> <kind> <level>
//   e2e_fixtures totems <player folder>
//   e2e_fixtures power <player folder> <colour>
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

// The colours of the totems as the shop's items hold them.
constexpr int kTotemItems[7] = {9, 3, 5, 2, 4, 1, 0};

CQuestSave StoredQuest(int32_t level, int32_t resumeKind)
{
    CQuestSave save;
    save.state = CQuestSave::kStored;
    save.questGuid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    save.resumeKind = resumeKind;
    save.level = level;
    save.timeLeft = 200.0f;
    save.nextTimeWarning = 30.0f;
    save.lives = 2;
    return save;
}

// "totems": a player who still takes the quest's lessons (but has seen all
// but the totem lesson) and a quest in the shop after level 10 owning the
// red and the green totem at level 1.
int WriteTotemsQuest(const std::string& playerFolder)
{
    CProfile player("Player");
    player.LoadSettings(playerFolder);
    player.veteran = 0; // a veteran takes no lesson
    player.questTutorial = 1;
    player.tutBase = player.tutGem = player.tutWrong = player.tutTimer = player.tutSandbox = 1;
    player.tutBonus = player.tutLock = player.tutSteel = player.tutShop = 1;
    player.tutTotem = 0;
    if (!player.SaveSettings(playerFolder))
        return 1;
    CQuestSave save = StoredQuest(10, CQuestSave::kResumeInShop);
    save.itemLevels[kTotemItems[2]] = 1; // red
    save.itemLevels[kTotemItems[0]] = 1; // green
    return save.Save(QuestSavePath(playerFolder + "\\")) ? 0 : 1;
}

// "power": a veteran's quest of level 38 in play owning every totem at
// level 3 and every bonus, on a still board of five other colours with
// two runs of `colour` to make: the swap of (4, 1) with (4, 0) lines up
// row 0's (2, 0) .. (4, 0), that of (4, 6) with (4, 7) row 7's
// (2, 7) .. (4, 7); steel in six cells, gems on four tokens.
int WritePowerQuest(const std::string& playerFolder, int colour)
{
    CProfile player("Player");
    player.LoadSettings(playerFolder);
    player.veteran = 1;
    player.questTutorial = 0;
    if (!player.SaveSettings(playerFolder))
        return 1;
    CQuestSave save = StoredQuest(38, CQuestSave::kResumeInPlay);
    save.gemsLeft = 12;
    save.gemGoal = 12;
    for (int item = 0; item < 16; ++item)
        save.itemLevels[item] = 3;
    save.SizeGrids();
    int others[5];
    for (int c = 0, n = 0; n < 5; ++c)
        if (c != colour)
            others[n++] = c;
    for (int r = 0; r < CQuestSave::kRows; ++r)
        for (int c = 0; c < CQuestSave::kColumns; ++c)
            save.SetCell(CQuestSave::TokenCodes, r, c, others[(c + 3 * r) % 5] + 1);
    const int runs[][2] = {{2, 0}, {3, 0}, {4, 1}, {2, 7}, {3, 7}, {4, 6}};
    for (const auto& cell : runs)
        save.SetCell(CQuestSave::TokenCodes, cell[1], cell[0], colour + 1);
    const int steel[][2] = {{1, 3}, {6, 3}, {3, 4}, {0, 5}, {7, 5}, {5, 2}};
    for (const auto& cell : steel)
        save.SetCell(CQuestSave::TokenCodes, cell[1], cell[0], 101);
    const int gems[][2] = {{0, 2}, {7, 2}, {2, 5}, {5, 5}};
    for (const auto& cell : gems)
        save.SetCell(CQuestSave::TokenCodes, cell[1], cell[0],
                     ~(save.Cell(CQuestSave::TokenCodes, cell[1], cell[0]) - 1));
    return save.Save(QuestSavePath(playerFolder + "\\")) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 4 && a[0] == "bonus")
        return WriteBonusQuest(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()));
    if (a.size() == 2 && a[0] == "totems")
        return WriteTotemsQuest(a[1]);
    if (a.size() == 3 && a[0] == "power")
        return WritePowerQuest(a[1], std::atoi(a[2].c_str()));
    std::fprintf(stderr, "usage: e2e_fixtures bonus <player folder> <kind> <level>\n"
                         "       e2e_fixtures totems <player folder>\n"
                         "       e2e_fixtures power <player folder> <colour>\n");
    return 2;
}
