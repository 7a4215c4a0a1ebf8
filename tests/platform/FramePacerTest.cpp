// Frame pacing on a clock of the test's own: no time passes for real.
#include "platform/System.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int64_t g_now = 0;
std::vector<int64_t> g_sleeps;

int64_t FakeClock() { return g_now; }
void FakeSleep(int64_t until)
{
    g_sleeps.push_back(until);
    g_now = until + 70000; // sleeps end a little late, as real ones do
}

constexpr int64_t kMs = 1000000;
constexpr int64_t kPeriod = 16666667;

class FramePacerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_now = 1000 * kMs;
        g_sleeps.clear();
        pacer.SetPeriod(kPeriod);
    }
    // One frame: drawing and the swap take `ms`, then the pacer.
    void Frame(double ms)
    {
        g_now += static_cast<int64_t>(ms * kMs);
        pacer.AfterSwap();
    }
    plat::FramePacer pacer{FakeClock, FakeSleep};
};

TEST_F(FramePacerTest, FastFramesAreHeldToOnePerPeriodWithoutDrift)
{
    Frame(1);
    const int64_t start = g_now;
    for (int i = 0; i < 600; ++i)
        Frame(i % 3 == 0 ? 0.8 : 2.5);
    ASSERT_EQ(g_sleeps.size(), 600u);
    // Late wake-ups do not add up: frame 600 starts 600 periods after the first.
    EXPECT_EQ(g_sleeps.back(), start + 600 * kPeriod);
}

TEST_F(FramePacerTest, SlowFrameIsNotMadeUpByHurryingTheNextOnes)
{
    Frame(1);
    Frame(40); // a frame longer than two periods
    EXPECT_TRUE(g_sleeps.empty());
    const int64_t slowEnd = g_now;
    Frame(1);
    ASSERT_EQ(g_sleeps.size(), 1u);
    EXPECT_EQ(g_sleeps[0], slowEnd + kPeriod);
}

TEST_F(FramePacerTest, NoPeriodLetsEveryFrameThrough)
{
    pacer.SetPeriod(0);
    for (int i = 0; i < 10; ++i)
        Frame(0.5);
    EXPECT_TRUE(g_sleeps.empty());
}

} // namespace
