#include "platform/System.h"
#include "engine/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

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
    plat::UnseedGuids(); // the test main fixes every test's GUIDs; these are the system's
    plat::Guid a, b;
    ASSERT_TRUE(plat::CreateGuid(&a));
    ASSERT_TRUE(plat::CreateGuid(&b));
    EXPECT_NE(a, b);
    EXPECT_EQ(a.data3 >> 12, 4);
    EXPECT_EQ(a.data4[0] & 0xC0, 0x80);
}

// A test's fixed game makes the same GUIDs in the same order, still distinct
// and of version 4; unseeded, they come from the system again.
TEST(Guid, SeededStreamRepeats)
{
    plat::Guid first[3], again[3];
    plat::SeedGuids(7);
    for (plat::Guid& g : first)
        ASSERT_TRUE(plat::CreateGuid(&g));
    plat::SeedGuids(7);
    for (plat::Guid& g : again)
        ASSERT_TRUE(plat::CreateGuid(&g));
    plat::UnseedGuids();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(first[i], again[i]);
        EXPECT_EQ(first[i].data3 >> 12, 4);
        EXPECT_EQ(first[i].data4[0] & 0xC0, 0x80);
    }
    EXPECT_NE(first[0], first[1]);
    plat::SeedGuids(8);
    plat::Guid other;
    ASSERT_TRUE(plat::CreateGuid(&other));
    plat::UnseedGuids();
    EXPECT_NE(other, first[0]);
}

// The clock counts milliseconds from system start, not from the process's:
// the start-up seed is a reading of it, and one that began at the first call
// would give every run the same random sequence. It is the monotonic clock
// cut to 32 bits, so a reading lies between two readings of that clock taken
// around it, wrapping or not.
TEST(Timer, IsTheSystemsMonotonicClockInMilliseconds)
{
    const auto millis = [] { return static_cast<uint32_t>(plat::MonotonicNanoseconds() / 1000000); };
    const uint32_t before = millis();
    const uint32_t t0 = plat::TimeGetTime();
    const uint32_t t1 = plat::TimeGetTime();
    const uint32_t after = millis();
    EXPECT_LE(t0 - before, after - before);
    EXPECT_LE(t1 - t0, after - t0);
}

// A test's seed comes from the environment: only a plain decimal number that
// fits 32 bits counts; anything else leaves the game seeded by the clock.
TEST(FixedSeed, TakesOnlyAPlainNumberOf32Bits)
{
    const struct {
        const char* value;
        std::optional<uint32_t> seed;
    } cases[] = {
        {nullptr, std::nullopt},
        {"", std::nullopt},
        {"0", 0u},
        {"42", 42u},
        {"4294967295", 4294967295u},
        {"4294967296", std::nullopt},
        {"-1", std::nullopt},
        {" 5", std::nullopt},
        {"5x", std::nullopt},
        {"+5", std::nullopt},
        {"99999999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) {
        if (c.value)
            setenv("GALVORINE_SEED", c.value, 1);
        else
            unsetenv("GALVORINE_SEED");
        EXPECT_EQ(plat::FixedSeed(), c.seed) << (c.value ? c.value : "(unset)");
    }
    unsetenv("GALVORINE_SEED");
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
