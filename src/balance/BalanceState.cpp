#include "balance/BalanceState.h"

#include "engine/Random.h"

#include <cmath>

namespace {

// floor(random x n), a drawn 1.0 kept inside the range.
int DrawIndex(CRandomStream& random, int n)
{
    const int index = static_cast<int>(std::floor(random.Unit() * static_cast<float>(n)));
    return index >= n ? n - 1 : (index < 0 ? 0 : index);
}

} // namespace

CBalanceState::CBalanceState() : bonusSlots(6, -1) { Reset(0, 1); }

void CBalanceState::Reset(int gameMode, int levelNumber)
{
    mode = gameMode;
    level = levelNumber;
    if (mode != 0)
        return;
    item8Value = 4;
    shareValue = 0.33334f;
    sandRate = LevelRate();
    item7Value = BalanceFivePlusTen(level);
    timeLimit = 240.0f;
    timeGaugeScale = 720.0f;
    bonusSlots.assign(6, 0);
    timeOutFlag = 0;
    noMovesFlag = 0;
    pointsPerLife = 200000;
    pointsPerSecond = 50;
    livesLimited = 1;
    maxLives = 2;
}

float CBalanceState::LevelRate() const
{
    if (mode != 0)
        return 0.0f;
    if (level < 4)
        return 0.065f;
    return level <= 8 ? 0.05f : 0.04f;
}

float CBalanceState::MatchValue(int a, int b, int c, int d) const
{
    if (mode != 0)
        return 0.0f;
    if (a > 2)
        return 0.1f * static_cast<float>(d) + 0.1f * static_cast<float>(b * (a - 2)) +
               0.05f * static_cast<float>(c);
    return 0.025f * static_cast<float>(a);
}

int32_t CBalanceState::MatchPoints(int a, int b, int c, int* style) const
{
    if (mode == 0) {
        if (a > 2) {
            *style = a + b - 3;
            return 100 * a + 100 * b + 50 * c - 300;
        }
        *style = a - 2;
        return 50 * a;
    }
    if (mode == 1 || mode == 2) {
        *style = a - 2;
        if (a > 2)
            return (c + (a - 2) * (level + 1) * b) * 50;
        return 25 * a * (level + 1);
    }
    return 50;
}

int32_t CBalanceState::TokenValue(int v) { return v < 3 ? 2 * v + 3 : 10; }

bool CBalanceState::CountsAsCascade(int n) const { return mode < 3 && n > 2; }

int32_t CBalanceState::ComboBonus(int a, int b) { return (a + b) * 500 - 500; }

int32_t CBalanceState::BonusPoints() const
{
    if (mode == 0)
        return 5000;
    return (mode == 1 || mode == 2) ? 1000 * level : 0;
}

void CBalanceState::RedTotemCounts(int type, int lvl, int32_t counts[4])
{
    int32_t c[4] = {2, 2, 2, 2};
    if (type <= 1) {
        c[0] = 1, c[1] = 1, c[2] = 0, c[3] = 0;
    } else if (type == 2) {
        c[0] = c[1] = c[2] = c[3] = 1;
    } else if (type == 3) {
        c[2] = c[3] = lvl < 3 ? 1 : 2;
    }
    for (int i = 0; i < 4; ++i)
        counts[i] = c[i];
}

int32_t CBalanceState::TotemLevelCount(int type, int lvl)
{
    switch (type) {
    case 2:
        return 5;
    case 3:
        return lvl == 3 ? 8 : 6;
    case 4:
        return lvl == 3 ? 12 : 10;
    default:
        return 0;
    }
}

int32_t CBalanceState::TotemCount(int type, int lvl)
{
    switch (type) {
    case 2:
        return 9;
    case 3:
        return lvl == 3 ? 12 : 10;
    case 4:
        return lvl == 3 ? 15 : 11;
    default:
        return 6;
    }
}

// Long matches give the adviser or the solidarity bonus when either is
// available; otherwise any other available kind, the score bonus four times
// less likely than each of the others.
bool CBalanceState::PickSlot(bool longMatch, int32_t* kind, int32_t* value, CRandomStream& random) const
{
    int slot = -1;
    if (longMatch) {
        int candidates[2];
        int count = 0;
        for (int s : {3, 5})
            if (bonusSlots[static_cast<size_t>(s)] >= 0)
                candidates[count++] = s;
        if (count == 1)
            slot = candidates[0];
        else if (count == 2)
            slot = candidates[DrawIndex(random, 2)];
    }
    if (slot < 0) {
        int candidates[6];
        int count = 0;
        for (int s = 0; s < 6; ++s)
            if (s != 3 && s != 5 && bonusSlots[static_cast<size_t>(s)] >= 0)
                candidates[count++] = s;
        if (count == 0)
            return false;
        if (count == 1) {
            slot = candidates[0];
        } else {
            do
                slot = candidates[DrawIndex(random, count)];
            while (slot == 4 && random.Unit() < 0.75f);
        }
    }
    *kind = slot + 2;
    *value = bonusSlots[static_cast<size_t>(slot)];
    return true;
}

int StageSize(int stage)
{
    static const int sizes[] = {5, 6, 8, 10, 12};
    return stage >= 1 && stage <= 5 ? sizes[stage - 1] : 15;
}

bool SplitLevelNumber(int n, int* stage, int* levelInStage)
{
    int s = 1;
    while (StageSize(s) < n) {
        n -= StageSize(s);
        ++s;
    }
    *stage = s;
    *levelInStage = n;
    return s < 6;
}

int32_t BalanceGemGoal(int level) { return 5 * level; }

float LevelTimeLimit(int k)
{
    if (k <= 0)
        return 240.0f;
    return 300.0f + 30.0f * static_cast<float>(k - 1);
}

float BalanceFivePlusTen(int n) { return 5.0f * static_cast<float>(n) + 10.0f; }
float BalanceFivePlusFifteen(int n) { return 5.0f * static_cast<float>(n) + 15.0f; }

int BonusLevelAfterLevel(int level, int* bonusNumber, int* group)
{
    struct Row {
        int after, number, group, kind;
    };
    static const Row rows[] = {{5, 1, 1, 2},  {11, 2, 1, 1}, {15, 3, 1, 4}, {19, 4, 1, 3},
                               {24, 5, 2, 2}, {29, 6, 2, 1}, {33, 7, 2, 4}, {37, 8, 2, 3}};
    for (const Row& row : rows)
        if (row.after == level) {
            *bonusNumber = row.number;
            *group = row.group;
            return row.kind;
        }
    return 0;
}

float BalanceFactorByType(int type)
{
    if (type <= 0)
        return 1.1f;
    if (type == 1)
        return 1.5f;
    return type == 2 ? 2.1f : 2.4f;
}

void BalanceVioletTotemPair(int type, int level, int* kind, int* flag)
{
    *kind = 0;
    *flag = 0;
    if (type == 1) {
        *kind = 1;
    } else if (type == 2 || (type == 3 && level == 2)) {
        *kind = 2;
    } else if (type == 3 || type == 4) {
        *kind = 1;
        *flag = 1;
    }
}

float BalanceTotemSeconds(int type, int level)
{
    switch (type) {
    case 2:
        return 45.0f;
    case 3:
        return level == 3 ? 60.0f : 45.0f;
    case 4:
        return level == 3 ? 90.0f : 60.0f;
    default:
        return 30.0f;
    }
}

float BalanceRateByMode(int k) { return k == 1 ? 1.0f / 57.5f : 1.0f / 61.5f; }
int32_t BalanceCountByMode(int k) { return k == 1 ? 58 : 62; }
float BalanceMemoryTime() { return 150.0f; }
float BalanceAccuracyTime() { return 40.0f; }
float BalanceConst013() { return 0.13f; }
int32_t BalanceConst8() { return 8; }
float BalanceConst0088() { return 0.088f; }
int32_t BalanceReactionCount() { return 12; }
float BalanceReactionTime() { return 90.0f; }

int32_t BalanceStepByLength(int n)
{
    if (n < 6)
        return 3;
    return n <= 30 ? 4 : 3;
}

// The factor is 0.666666 applied n times, not a power of two thirds.
float BalanceDecay(int n)
{
    float value = 0.1f;
    for (int i = 0; i < n; ++i)
        value *= 0.666666f;
    return value;
}
