// Every tuning number of play that depends on the game mode, the level or a
// count: the record the game resets at each level start (and the shop
// overwrites in part), and the pure formulas beside it.
#pragma once

#include <cstdint>
#include <vector>

class CRandomStream;

// Game modes: 0 is played with the sand box; 1 and 2 are the other level
// modes; any other mode gets the formulas' neutral values.
class CBalanceState {
public:
    CBalanceState();

    // Stores both; in mode 0 also puts every tuning field back to its
    // default. Other modes keep the fields as they stand.
    void Reset(int gameMode, int levelNumber);

    // Sand rate of the level: 0 outside mode 0.
    float LevelRate() const;
    // Sand a finished match pours: b = 1 and d = 0 from the board.
    float MatchValue(int a, int b, int c, int d) const;
    // Points of a finished match of `a` tokens at cascade count `b`; `style`
    // gets the popup style.
    int32_t MatchPoints(int a, int b, int c, int* style) const;
    // A kind-6 bonus's multiplier.
    static int32_t TokenValue(int v);
    bool CountsAsCascade(int n) const;
    static int32_t ComboBonus(int a, int b);
    int32_t BonusPoints() const;
    // The four counts of the red totem's power.
    static void RedTotemCounts(int type, int level, int32_t counts[4]);
    static int32_t TotemLevelCount(int type, int level);
    static int32_t TotemCount(int type, int level);
    // A bonus kind for a new bonus: false when no kind is available.
    bool PickSlot(bool longMatch, int32_t* kind, int32_t* value, CRandomStream& random) const;

    int32_t mode = 0;
    int32_t level = 1;
    int32_t item8Value = 4;
    float shareValue = 0.33334f;
    float sandRate = 0.0f;
    float item7Value = 15.0f;
    float timeLimit = 240.0f;
    float timeGaugeScale = 720.0f;
    // Per bonus kind 2..7 (slot i is kind i + 2); negative: not available.
    std::vector<int32_t> bonusSlots;
    int32_t timeOutFlag = 0;
    int32_t noMovesFlag = 0;
    int32_t pointsPerLife = 200000;
    int32_t pointsPerSecond = 50;
    int32_t livesLimited = 1;
    int32_t maxLives = 2;
};

// Levels in a stage: 5, 6, 8, 10, 12, then 15 for every later stage.
int StageSize(int stage);
// Quest level n as (stage, level in stage); true while the stage is below 6.
bool SplitLevelNumber(int n, int* stage, int* levelInStage);
int32_t BalanceGemGoal(int level);
float LevelTimeLimit(int k);
float BalanceFivePlusTen(int n);
float BalanceFivePlusFifteen(int n);
// The challenge kind played after a quest level (1 Memory, 2 Accuracy,
// 3 Attention, 4 Reaction), or 0; the outputs stay untouched for 0.
int BonusLevelAfterLevel(int level, int* bonusNumber, int* group);
float BalanceFactorByType(int type);
void BalanceVioletTotemPair(int type, int level, int* kind, int* flag);
float BalanceTotemSeconds(int type, int level);
float BalanceRateByMode(int k);
int32_t BalanceCountByMode(int k);
float BalanceMemoryTime();
float BalanceAccuracyTime();
float BalanceConst013();
int32_t BalanceConst8();
float BalanceConst0088();
int32_t BalanceReactionCount();
float BalanceReactionTime();
int32_t BalanceStepByLength(int n);
float BalanceDecay(int n);
