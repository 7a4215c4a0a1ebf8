// The end-to-end scripts' hand: it writes the players and quest saves a walk
// starts from, through the records library, as the game would have written
// them. It is the walks' one writer of saves.
//
//   e2e_fixtures player <player folder> <level> <stars>
//           a player whose quest resumes <level> in play with one gem left
//           on a board where one swap strikes it (the bonus levels follow
//           levels 5, 11, 15 and 19); prints that swap: column row column row
//   e2e_fixtures shopplayer <player folder> [seconds]
//           a player at level 3 of a quest, in play with one gem left, two
//           Golden Stars and the items a quest has there; prints the one
//           swap that strikes the gem. With seconds, that much time is
//           left, and the checkpoint of the shop before level 3 is written
//           too (where a lost level goes back to)
//   e2e_fixtures bonus <player folder> <kind> <level>
//   e2e_fixtures totems <player folder>
//   e2e_fixtures power <player folder> <colour>
//
// The player folder must exist; the player is named after it.
#include "OneGemLeft.h"
#include "records/Profiles.h"
#include "records/QuestSave.h"
#include "records/Trophies.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int32_t kWhite = 5;

std::string NameOf(const std::string& playerFolder)
{
    return playerFolder.substr(playerFolder.find_last_of("/\\") + 1);
}

// The player's settings: `lessons` says whether the quest's lessons are
// given at all (a veteran takes none, and has won every trophy), and those
// of `seen` are behind the player, the others still to come.
bool WriteSettings(const std::string& playerFolder, bool lessons, std::vector<int32_t CProfile::*> seen)
{
    CProfile player(NameOf(playerFolder));
    player.LoadSettings(playerFolder);
    player.veteran = lessons ? 0 : 1;
    player.questTutorial = lessons ? 1 : 0;
    for (int32_t CProfile::*lesson :
         {&CProfile::tutBase, &CProfile::tutGem, &CProfile::tutWrong, &CProfile::tutTimer, &CProfile::tutSandbox,
          &CProfile::tutBonus, &CProfile::tutTotem, &CProfile::tutLock, &CProfile::tutSteel, &CProfile::tutShop})
        player.*lesson = 0;
    for (int32_t CProfile::*lesson : seen)
        player.*lesson = 1;
    if (!player.SaveSettings(playerFolder))
        return false;
    if (lessons)
        return true;
    // A veteran has every trophy at its highest level too: none is won in
    // the middle of the play a walk watches, to come up over the board.
    CTrophies trophies;
    std::copy(std::begin(CTrophies::kLevels), std::end(CTrophies::kLevels), trophies.levels);
    return trophies.Save(playerFolder + "/Trophies.dat") == 1;
}

// A stored quest of a fixed GUID with 200 seconds and two lives left.
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

bool Write(CQuestSave& save, const std::string& playerFolder, const char* file = "Quest.sav")
{
    return save.Save(playerFolder + "/" + file) == 1;
}

// "player": one_gem_left's player, as the game's own tests write it.
int WriteOneGemLeft(const std::string& playerFolder, int level, int stars)
{
    using namespace one_gem_left;
    if (!WritePlayer(playerFolder, NameOf(playerFolder), level, stars))
        return 1;
    std::printf("%d %d %d %d\n", kFromColumn, kFromRow, kToColumn, kToRow);
    return 0;
}

// "shopplayer": level 3 of a quest that won levels 1 and 2 and bought
// nothing: a board of five colours with one move only, whose run strikes
// the last gem (the blue token at column 2, row 3), and the shop's items as
// the two shop visits before it left them (the gems item and TNT from level
// 2, the level time and Solidarity from level 3: offered, nothing bought).
int WriteShopPlayer(const std::string& playerFolder, float seconds, bool withCheckpoint)
{
    static const int kBoard[8][8] = {
        {0, 3, 1, 3, 2, 0, 0, 4}, {1, 0, 1, 2, 1, 3, 4, 1}, {4, 3, 3, 0, 4, 2, 1, 3}, {0, 4, 3, 1, 3, 1, 3, 0},
        {2, 2, 1, 4, 3, 2, 4, 0}, {2, 0, 3, 0, 1, 0, 2, 3}, {3, 0, 1, 2, 4, 3, 0, 1}, {3, 1, 2, 0, 3, 2, 4, 3},
    };
    constexpr int kGemColumn = 2, kGemRow = 3;
    // The lessons of the first levels and of the shop are behind the player.
    if (!WriteSettings(playerFolder, true,
                       {&CProfile::tutBase, &CProfile::tutGem, &CProfile::tutWrong, &CProfile::tutTimer,
                        &CProfile::tutSandbox, &CProfile::tutBonus, &CProfile::tutShop}))
        return 1;
    CQuestSave save = StoredQuest(3, CQuestSave::kResumeInPlay);
    save.questGuid = {7};
    save.timeLeft = seconds;
    save.gemsLeft = 1;
    save.gemGoal = 0;
    save.SizeGrids();
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            save.SetCell(CQuestSave::TokenCodes, r, c,
                         r == kGemRow && c == kGemColumn ? ~kBoard[r][c] : kBoard[r][c] + 1);
    const int32_t items[16] = {-1, -1, -1, -1, -1, -1, 0, 0, 0, -1, 0, -1, -1, -1, 0, -1};
    std::copy(std::begin(items), std::end(items), save.itemLevels);
    save.stars = 2;
    save.stats.tables[1].Add(12000, StatScore);
    if (!Write(save, playerFolder))
        return 1;
    if (withCheckpoint) {
        CQuestSave shop = save;
        shop.resumeKind = CQuestSave::kResumeInShop;
        shop.level = 2;
        shop.ClearGrids();
        if (!Write(shop, playerFolder, "QuestAS1.sav"))
            return 1;
    }
    std::printf("2 4 2 5\n");
    return 0;
}

// The white tokens besides the three the swap lines up.
constexpr int kLoneWhites[][2] = {{3, 5}, {4, 6}};

// "bonus": a veteran (no lessons come in the way) with a quest of level 12
// in play on a still board: five colours in a pattern that makes no run and
// no move, three white tokens that the swap of cell (4, 4) with (4, 3) lines
// up in row 3, a bonus of the kind (2 TNT, 3 lightning, 4 clock, 5 adviser,
// 6 score, 7 solidarity) at the level on the white token of cell (3, 3), and
// two more white tokens below it, near enough for a solidarity bolt to reach
// both within 0.2 s. Eight gems to collect.
int WriteBonusQuest(const std::string& playerFolder, int32_t kind, int32_t level)
{
    if (!WriteSettings(playerFolder, false, {}))
        return 1;
    CQuestSave save = StoredQuest(12, CQuestSave::kResumeInPlay);
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
    return Write(save, playerFolder) ? 0 : 1;
}

// The colours of the totems as the shop's items hold them.
constexpr int kTotemItems[7] = {9, 3, 5, 2, 4, 1, 0};

// "totems": a player who still takes the quest's lessons (but has seen all
// but the totem lesson) and a quest in the shop after level 10 owning the
// red and the green totem at level 1.
int WriteTotemsQuest(const std::string& playerFolder)
{
    if (!WriteSettings(playerFolder, true,
                       {&CProfile::tutBase, &CProfile::tutGem, &CProfile::tutWrong, &CProfile::tutTimer,
                        &CProfile::tutSandbox, &CProfile::tutBonus, &CProfile::tutLock, &CProfile::tutSteel,
                        &CProfile::tutShop}))
        return 1;
    CQuestSave save = StoredQuest(10, CQuestSave::kResumeInShop);
    save.itemLevels[kTotemItems[2]] = 1; // red
    save.itemLevels[kTotemItems[0]] = 1; // green
    return Write(save, playerFolder) ? 0 : 1;
}

// "power": a veteran's quest of level 38 in play owning every totem at
// level 3 and every bonus, on a still board with two runs of `colour` to
// make, both in the top row: the swap of (2, 0) with (3, 0) lines up
// (0, 0) .. (2, 0), that of (4, 0) with (5, 0) then (5, 0) .. (7, 0). Only
// new tokens fall into the top row, so no run of the walk reaches rows 1 to
// 7: five other colours there in a pattern that makes no run and no move,
// steel in six cells, gems on four tokens.
int WritePowerQuest(const std::string& playerFolder, int colour)
{
    if (!WriteSettings(playerFolder, false, {}))
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
    // The top row's two tokens of other colours keep theirs, which differ
    // from those under them.
    const int runs[][2] = {{0, 0}, {1, 0}, {3, 0}, {4, 0}, {6, 0}, {7, 0}};
    for (const auto& cell : runs)
        save.SetCell(CQuestSave::TokenCodes, cell[1], cell[0], colour + 1);
    const int steel[][2] = {{1, 3}, {6, 3}, {3, 4}, {0, 5}, {7, 5}, {5, 2}};
    for (const auto& cell : steel)
        save.SetCell(CQuestSave::TokenCodes, cell[1], cell[0], 101);
    const int gems[][2] = {{0, 2}, {7, 2}, {2, 5}, {5, 5}};
    for (const auto& cell : gems)
        save.SetCell(CQuestSave::TokenCodes, cell[1], cell[0],
                     ~(save.Cell(CQuestSave::TokenCodes, cell[1], cell[0]) - 1));
    return Write(save, playerFolder) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 4 && a[0] == "player")
        return WriteOneGemLeft(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()));
    if ((a.size() == 2 || a.size() == 3) && a[0] == "shopplayer")
        return WriteShopPlayer(a[1], a.size() == 3 ? std::strtof(a[2].c_str(), nullptr) : 180.0f, a.size() == 3);
    if (a.size() == 4 && a[0] == "bonus")
        return WriteBonusQuest(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()));
    if (a.size() == 2 && a[0] == "totems")
        return WriteTotemsQuest(a[1]);
    if (a.size() == 3 && a[0] == "power")
        return WritePowerQuest(a[1], std::atoi(a[2].c_str()));
    std::fprintf(stderr, "usage: e2e_fixtures player <player folder> <level> <stars>\n"
                         "       e2e_fixtures shopplayer <player folder> [seconds]\n"
                         "       e2e_fixtures bonus <player folder> <kind> <level>\n"
                         "       e2e_fixtures totems <player folder>\n"
                         "       e2e_fixtures power <player folder> <colour>\n");
    return 2;
}
