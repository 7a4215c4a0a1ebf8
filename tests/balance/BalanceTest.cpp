// The balance formulas at the values the board and the game flow rely on.
#include "balance/BalanceState.h"
#include "engine/Random.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Balance, LevelNumbersSplitIntoStages)
{
    struct Case {
        int n, stage, inStage;
        bool early;
    } cases[] = {{1, 1, 1, true},   {5, 1, 5, true},   {6, 2, 1, true},
                 {41, 5, 12, true}, {42, 6, 1, false}, {57, 7, 1, false}};
    for (const Case& c : cases) {
        int stage = 0, inStage = 0;
        EXPECT_EQ(SplitLevelNumber(c.n, &stage, &inStage), c.early) << c.n;
        EXPECT_EQ(stage, c.stage) << c.n;
        EXPECT_EQ(inStage, c.inStage) << c.n;
    }
}

TEST(Balance, ResetFillsModeZeroAndLeavesOtherModes)
{
    CBalanceState b;
    EXPECT_EQ(b.bonusSlots, std::vector<int32_t>(6, 0)); // the constructor's reset is mode 0
    b.timeLimit = 99.0f;
    b.Reset(1, 7);
    EXPECT_EQ(b.level, 7);
    EXPECT_EQ(b.timeLimit, 99.0f);
    EXPECT_EQ(b.LevelRate(), 0.0f);
    b.Reset(0, 9);
    EXPECT_EQ(b.timeLimit, 240.0f);
    EXPECT_FLOAT_EQ(b.sandRate, 0.04f);
    EXPECT_EQ(b.item7Value, 55.0f);
}

TEST(Balance, SandRateFollowsTheLevel)
{
    CBalanceState b;
    const std::pair<int, float> cases[] = {{3, 0.065f}, {4, 0.05f}, {8, 0.05f}, {9, 0.04f}};
    for (const auto& [level, rate] : cases) {
        b.Reset(0, level);
        EXPECT_FLOAT_EQ(b.LevelRate(), rate) << level;
    }
}

TEST(Balance, MatchPointsAndStyles)
{
    CBalanceState b;
    struct Case {
        int mode, level, a, b, c, points, style;
    } cases[] = {
        {0, 1, 3, 1, 0, 100, 1}, {0, 1, 2, 0, 0, 100, 0}, {0, 1, 5, 3, 2, 600, 5},
        {1, 2, 4, 1, 0, 300, 2}, {2, 3, 2, 1, 0, 200, 0}, {5, 1, 4, 1, 0, 50, -7},
    };
    for (const Case& c : cases) {
        b.Reset(c.mode, c.level);
        int style = -7;
        EXPECT_EQ(b.MatchPoints(c.a, c.b, c.c, &style), c.points) << c.mode << " " << c.a;
        EXPECT_EQ(style, c.style) << c.mode << " " << c.a;
    }
    b.Reset(0, 1);
    EXPECT_FLOAT_EQ(b.MatchValue(3, 1, 0, 0), 0.1f);
    EXPECT_FLOAT_EQ(b.MatchValue(2, 1, 0, 0), 0.05f);
    EXPECT_TRUE(b.CountsAsCascade(3));
    EXPECT_FALSE(b.CountsAsCascade(2));
    EXPECT_EQ(CBalanceState::TokenValue(2), 7);
    EXPECT_EQ(CBalanceState::TokenValue(3), 10);
}

TEST(Balance, TimesAndDecay)
{
    EXPECT_EQ(LevelTimeLimit(0), 240.0f);
    EXPECT_EQ(LevelTimeLimit(1), 300.0f);
    EXPECT_EQ(LevelTimeLimit(3), 360.0f);
    EXPECT_FLOAT_EQ(BalanceDecay(0), 0.1f);
    EXPECT_FLOAT_EQ(BalanceDecay(1), 0.0666666f);
    EXPECT_FLOAT_EQ(BalanceDecay(8), 0.1f * std::pow(0.666666f, 8.0f));
    int number = -1, group = -1;
    EXPECT_EQ(BonusLevelAfterLevel(6, &number, &group), 0);
    EXPECT_EQ(number, -1);
    EXPECT_EQ(BonusLevelAfterLevel(19, &number, &group), 3);
    EXPECT_EQ(number, 4);
    EXPECT_EQ(group, 1);
}

TEST(Balance, PickSlotPrefersLongMatchKindsAndRarelyScore)
{
    CRandomStream random(11);
    CBalanceState b;
    int32_t kind = -1, value = -1;
    b.bonusSlots.assign(6, -1);
    EXPECT_FALSE(b.PickSlot(false, &kind, &value, random));
    EXPECT_EQ(kind, -1);

    b.bonusSlots[4] = 0;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(b.PickSlot(false, &kind, &value, random));
        EXPECT_EQ(kind, 6);
    }

    b.bonusSlots.assign(6, 2);
    int counts[8] = {};
    for (int i = 0; i < 13000; ++i) {
        ASSERT_TRUE(b.PickSlot(false, &kind, &value, random));
        ++counts[kind];
        EXPECT_EQ(value, 2);
    }
    EXPECT_EQ(counts[5] + counts[7], 0); // adviser and solidarity only for long matches
    EXPECT_NEAR(static_cast<double>(counts[6]) / counts[2], 0.25, 0.07);
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(b.PickSlot(true, &kind, &value, random));
        EXPECT_TRUE(kind == 5 || kind == 7) << kind;
    }
}
