#include "platform/System.h"
#include "engine/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

TEST(Random, SeededSequenceRepeatsAndCoversTheRange)
{
    plat::SeedRandom(1234);
    const int first = plat::Rand();
    plat::SeedRandom(1234);
    EXPECT_EQ(plat::Rand(), first);
    int lowest = plat::RandMax, highest = 0;
    for (int i = 0; i < 200000; ++i) {
        const int r = plat::Rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, plat::RandMax);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, plat::RandMax); // so RandomUnit can reach exactly 1.0
    const float u = RandomUnit();
    EXPECT_GE(u, 0.0f);
    EXPECT_LE(u, 1.0f);
}

TEST(Guid, RandomVersionFourAndDistinct)
{
    plat::Guid a, b;
    ASSERT_TRUE(plat::CreateGuid(&a));
    ASSERT_TRUE(plat::CreateGuid(&b));
    EXPECT_NE(a, b);
    EXPECT_EQ(a.data3 >> 12, 4);
    EXPECT_EQ(a.data4[0] & 0xC0, 0x80);
}

TEST(Timer, NeverRunsBackwards)
{
    const uint32_t t0 = plat::TimeGetTime();
    const uint32_t t1 = plat::TimeGetTime();
    EXPECT_LE(static_cast<int32_t>(t0 - t1), 0);
    // The start-up seed is a reading of this clock: one that began at the
    // first call would give every run the same random sequence.
    EXPECT_GT(t0, 1000u);
}

// The walks' fixed step comes from the environment: only a plain number of
// milliseconds in range counts, anything else leaves frames on real time.
TEST(FixedFrameStep, TakesOnlyAPlainNumberInRange)
{
    const struct {
        const char* value;
        double ms;
    } cases[] = {
        {nullptr, 0.0}, {"", 0.0},     {"16.667", 16.667}, {"500", 500.0}, {"0", 0.0},   {"-16", 0.0},
        {"501", 0.0},   {"16ms", 0.0}, {"abc", 0.0},       {"nan", 0.0},   {"inf", 0.0}, {"1e400", 0.0},
    };
    for (const auto& c : cases) {
        if (c.value)
            setenv("GALVORINE_FRAME_STEP", c.value, 1);
        else
            unsetenv("GALVORINE_FRAME_STEP");
        EXPECT_DOUBLE_EQ(plat::FixedFrameStepMs(), c.ms) << (c.value ? c.value : "(unset)");
    }
    unsetenv("GALVORINE_FRAME_STEP");
}

} // namespace
