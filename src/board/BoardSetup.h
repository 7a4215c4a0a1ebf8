// The records the board is started and restored from: the board's tuning,
// the setup of a level (its number, colours, steel and chains, gem goal,
// file, difficulty and the lesson it starts with), the lessons a player has
// still to see, and a snapshot of a board in play as a quest save keeps it.
#pragma once

#include "board/BoardEvents.h"
#include "board/LevelData.h"
#include "board/MatchAnalyser.h"
#include "engine/CountedHandle.h"

#include <array>
#include <cstdint>
#include <vector>

// How tokens move on the board.
struct BoardTuning {
    // Units a second squared with which a token falls.
    float gravity = 2000.0f;
    // The share of its drop a landing token bounces back up.
    float rebound = 0.05f;
    // Seconds a swap takes.
    float swapSeconds = 0.4f;
};

// Everything that starts a level on the board.
struct BoardSetup {
    int32_t level = 1;
    bool hardMode = false;
    // The colours new tokens are drawn from.
    std::vector<int32_t> colours;
    // The chance of steel or a chained token per draw, and how many of each
    // the board may hold.
    float steelRate = 0.0f;
    int32_t steelCap = 0;
    float lockRate = 0.0f;
    int32_t lockCap = 0;
    // Gems to collect for the level.
    int32_t gemGoal = 5;
    // The level's file; empty when the level has none (or it did not parse).
    CountedHandle<CLevelData> levelData;
    // A guided lesson the level starts with (the totem lesson plays on a
    // board of its own), or none.
    Lesson lesson = Lesson::None;
    // Cells the first fill from the start layout keeps plain, neither chained
    // nor steel, whatever the level's rates and its file say: those a guided
    // lesson on this board asks the player to swap and the cells of the runs
    // the swaps make.
    std::vector<MatchCell> plainCells;
};

// What a level's number gives, harder in hard mode: five colours up to
// level 3, six from level 4, seven from level 9 (always seven in hard mode);
// steel from level 14 and chains from level 6.
BoardSetup LevelSetup(int level, bool hardMode, int32_t gemGoal);
// A level's file overrides what its number gave: its colours, steel, chains
// and goal. Hard mode draws steel and chains a quarter more often than the
// file says but allows only two thirds as many of them.
void ApplyLevelFile(BoardSetup* setup, const CountedHandle<CLevelData>& data);
// The file read and applied; false (the setup unchanged but for an empty
// file) when it cannot be read or fails its checks.
bool LoadLevelFile(BoardSetup* setup, const std::string& path);

// The lessons of the quest a player has still to see.
struct LessonPlan {
    // The player takes the quest's lessons.
    bool on = false;
    std::array<bool, kLessonKinds> seen{};

    bool Due(Lesson lesson) const { return on && !seen[static_cast<size_t>(lesson)]; }
};

// A board in play as a quest save keeps it: per cell the token's code
// (colour + 1, a gem's the complement of its colour, 1000 an empty cell),
// its chains, its bonus and whether the level fixed it; the gems still to
// collect and to place; and what waits beside the tokens.
struct BoardSnapshot {
    static constexpr int kColumns = 8, kRows = 8;
    static constexpr int32_t kEmptyCell = 1000;
    struct Cell {
        int32_t code = kEmptyCell;
        int32_t chains = 0;
        int32_t bonusKind = 0;
        int32_t bonusValue = 0;
        bool fixed = false;
    };
    // False for a save taken outside board play (in the shop, after a won
    // level): the level starts on a new board.
    bool hasCells = false;
    std::array<std::array<Cell, kColumns>, kRows> cells{}; // [row][column]
    int32_t gemsToCollect = 0;
    int32_t gemsToPlace = 0;
    // Seconds the move hints still had to show.
    float hintSeconds = 0.0f;
    // The totem colour waiting to fly in, -1 none; the blue totems on.
    int32_t waitingTotem = -1;
    bool blueTotems = false;
};
