#include "records/PlayerStats.h"

#include <gtest/gtest.h>

namespace {

TEST(PlayerStats, SumsFloorAtZeroAndMaximaKeepTheLargest)
{
    CStatTable t;
    t.Add(20, StatScore);
    EXPECT_EQ(t.Add(-50, StatScore), 0);
    t.Add(5, StatLargestMatch);
    EXPECT_EQ(t.Add(3, StatLargestMatch), 5);
    EXPECT_EQ(t.Add(7, StatLargestMatch), 7);
    t.AddFloat(0.5f, StatSeconds);
    EXPECT_EQ(t.AddFloat(0.5f, StatSeconds), 1.0f);
    EXPECT_EQ(t.AddFloat(-2.0f, StatSeconds), 0.0f);
}

TEST(PlayerStats, ScrambledBlockRoundTripsEveryWord)
{
    CPlayerStats stats;
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < StatCounterCount; ++i)
            stats.tables[t].counters[static_cast<size_t>(i)] = static_cast<uint32_t>(0x01020300 + t * 16 + i);
    stats.tables[1].counters[1] = plat::FloatBits(123.75f);

    plat::ByteWriter plain;
    ASSERT_EQ(stats.Save(plain, 0), 1);
    ASSERT_EQ(plain.Size(), 120u);
    // Key 0 writes the counters as they are, table 0 first, then 2, then 1.
    EXPECT_EQ(plain.Data()[0], 0x00);
    EXPECT_EQ(plain.Data()[40], 0x20);
    EXPECT_EQ(plain.Data()[80], 0x10);

    plat::ByteWriter scrambled;
    stats.Save(scrambled, kStatsKey);
    plat::ByteReader in(scrambled.Data());
    CPlayerStats back;
    ASSERT_EQ(back.Load(in, kStatsKey), 1);
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(back.tables[t].counters, stats.tables[t].counters);
    EXPECT_EQ(back.tables[1].GetFloat(StatSeconds), 123.75f);
}

TEST(PlayerStats, FileEndingInsideTheSecondTableReplacesOnlyTableZero)
{
    CPlayerStats saved;
    saved.tables[0].Add(111, StatScore);
    saved.tables[2].Add(222, StatScore);
    plat::ByteWriter out;
    saved.Save(out, kStatsKey);
    const std::vector<uint8_t> cut(out.Data().begin(), out.Data().begin() + 60);

    CPlayerStats target;
    target.tables[1].Add(5, StatScore);
    target.tables[2].Add(6, StatScore);
    plat::ByteReader in(cut);
    EXPECT_EQ(target.Load(in, kStatsKey), 0);
    EXPECT_EQ(target.tables[0].Get(StatScore), 111);
    EXPECT_EQ(target.tables[2].Get(StatScore), 6);
    EXPECT_EQ(target.tables[1].Get(StatScore), 5);
}

TEST(PlayerStats, PromoteThirdMovesTheLevelIntoTableZero)
{
    CPlayerStats stats;
    stats.AddToRunTables(40, StatScore);
    stats.AddFloatToBoth(2.5f, StatSeconds);
    stats.PromoteThird();
    EXPECT_EQ(stats.tables[0].Get(StatScore), 40);
    EXPECT_EQ(stats.tables[0].GetFloat(StatSeconds), 2.5f);
    EXPECT_EQ(stats.tables[2].Get(StatScore), 0);
    EXPECT_EQ(stats.tables[1].Get(StatScore), 40);
}

} // namespace
