// The sand heightfield: pouring, spreading, relaxing, flow and drain, the
// state codes the board reads, the display levels and full mode.
#include "effects/sandbox/SandHeightfield.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

using State = CSandHeightfield::State;

CSandHeightfield Field(int columns)
{
    CSandHeightfield field;
    field.SetColumnCount(columns);
    return field;
}

void ExpectLevels(const CSandHeightfield& field, const std::vector<double>& expected)
{
    ASSERT_EQ(field.Levels().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_DOUBLE_EQ(field.Levels()[i], expected[i]) << "column " << i;
}

double Sum(const std::vector<double>& levels)
{
    double sum = 0;
    for (double level : levels)
        sum += level;
    return sum;
}

} // namespace

TEST(SandHeightfield, PourSharesTheAmountBetweenTheTwoColumnsAroundItsPosition)
{
    CSandHeightfield field; // 64 columns
    field.Pour(0.5 / 64, 10.5);
    std::vector<double> expected(64, 0.0);
    expected[10] = expected[11] = 0.25; // a step of exactly 0.25 is allowed
    ExpectLevels(field, expected);
    EXPECT_DOUBLE_EQ(field.Total(), 0.5 / 64);
}

TEST(SandHeightfield, PourAtOrPastEitherEndGoesIntoThatEndColumn)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double position;
        int column;
    };
    for (const Case& c : {Case{0, 0}, Case{-3, 0}, Case{nan, 0}, Case{3, 3}, Case{7.5, 3}}) {
        CSandHeightfield field = Field(4);
        field.Pour(0.25 / 4, c.position);
        std::vector<double> expected(4, 0.0);
        expected[static_cast<size_t>(c.column)] = 0.25;
        ExpectLevels(field, expected);
    }
}

TEST(SandHeightfield, PouringMoreThanTheBoxTakesFillsItExactly)
{
    CSandHeightfield field = Field(40);
    field.Pour(0.3, 7.25);
    field.Pour(5.0, 31.7);
    EXPECT_EQ(field.Total(), 1.0);
    for (double level : field.Levels())
        EXPECT_EQ(level, 1.0);
    field.Pour(0.1, 2); // nothing more fits
    EXPECT_EQ(field.Total(), 1.0);
}

TEST(SandHeightfield, AColumnPairThatOverflowsSpreadsOutwardsThenRelaxes)
{
    CSandHeightfield field = Field(4);
    // 2.75 columns into the pair 1-2: both fill, 0.375 goes to each side,
    // then the steps to the full pair are relaxed.
    field.Pour(0.6875, 1.5);
    ExpectLevels(field, {0.5625, 0.8125, 0.8125, 0.5625});
    EXPECT_DOUBLE_EQ(field.Total(), 0.6875);
}

TEST(SandHeightfield, AnOverflowAtTheWallGoesAllToTheOtherSide)
{
    CSandHeightfield field = Field(2);
    // 1.25 columns into column 0: it fills, 0.25 spills into column 1 and
    // none is lost beyond the wall; then the pair is relaxed.
    field.Pour(0.625, 0);
    ExpectLevels(field, {0.75, 0.5});
}

TEST(SandHeightfield, RelaxingASingleFullColumnLeavesEveryStepAtMostAQuarter)
{
    CSandHeightfield field = Field(3);
    field.Pour(1.0 / 3, 1); // [0, 1, 0] before relaxing
    ExpectLevels(field, {0.375, 0.4375, 0.1875});
}

TEST(SandHeightfield, EveryPourKeepsTheSandAndTheStepLimit)
{
    CSandHeightfield field = Field(40);
    uint32_t seed = 7;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / 16777216.0;
    };
    double poured = 0;
    for (int i = 0; i < 400 && field.Total() < 0.95; ++i) {
        const double amount = 0.02 * next();
        const double position = next() * 44.0 - 2.0;
        const double fits = std::min(amount, 1.0 - field.Total());
        field.Pour(amount, position);
        poured += fits;
        ASSERT_NEAR(Sum(field.Levels()), poured * 40, 1e-9) << "pour " << i;
        for (int c = 1; c < 40; ++c)
            ASSERT_LE(std::fabs(field.Levels()[c - 1] - field.Levels()[c]), 0.25 + 1e-12) << "pour " << i;
        if (i % 5 == 4)
            field.Update(1.0f / 60); // slide, so that pours meet uneven sand
    }
}

TEST(SandHeightfield, SandSlidesTowardsTheFirstColumnAndDrainsOnlyWhenAsked)
{
    CSandHeightfield field = Field(8);
    field.Pour(0.25, 6.5);
    const double total = field.Total();
    for (int i = 0; i < 30; ++i) {
        field.Update(0.05f);
        EXPECT_NEAR(field.Total(), total, 1e-12);
    }
    EXPECT_GT(field.Levels()[0], field.Levels()[7]);

    field.draining = true;
    field.drainRate = 0.1;
    field.Update(0.5f);
    EXPECT_NEAR(field.Total(), total - 0.05, 1e-12);
    EXPECT_EQ(field.StateCode(), State::Quiet);
    field.Update(10.0f); // more than is left
    EXPECT_EQ(field.Total(), 0.0);
    EXPECT_EQ(field.StateCode(), State::Empty);
}

TEST(SandHeightfield, FullIsReportedFromTheTotalBeforeThatFramesDrain)
{
    CSandHeightfield field = Field(16);
    field.draining = true;
    field.Pour(0.9, 8);
    field.QueueGrain(0.01f, 3, 0.2f); // lands this frame and tops the box up
    field.Update(0.02f);
    EXPECT_LT(field.Total(), 1.0); // drained after the check
    EXPECT_EQ(field.StateCode(), State::Full);
    field.Update(0.02f);
    EXPECT_EQ(field.StateCode(), State::Quiet);
}

TEST(SandHeightfield, GrainsLandInTheOrderTheyFell)
{
    CSandHeightfield field = Field(4);
    field.QueueGrain(0.5f, 0, 0.01f);
    field.QueueGrain(0.1f, 3, 0.01f);
    field.QueueGrain(0.3f, 0, 0.01f);
    field.Update(0.2f);
    ASSERT_EQ(field.FallingGrains().size(), 2u);
    EXPECT_FLOAT_EQ(field.FallingGrains()[0].timeLeft, 0.3f);
    EXPECT_FLOAT_EQ(field.FallingGrains()[1].timeLeft, 0.1f);
    EXPECT_GT(field.Total(), 0.0);
}

TEST(SandHeightfield, DisplayLevelsFollowAtTheirSpeedWithoutOvershooting)
{
    CSandHeightfield field = Field(4);
    field.flowFactor = 0; // keep the sand where it lands
    field.Pour(0.25 / 4, 3);
    field.Update(0.02f); // 0.1 a frame at 5 levels per second
    EXPECT_NEAR(field.DisplayLevels()[3], 0.1, 1e-7);
    EXPECT_EQ(field.DisplayLevels()[0], 0.0);
    for (int i = 0; i < 10; ++i)
        field.Update(0.02f);
    EXPECT_EQ(field.DisplayLevels()[3], field.Levels()[3]);
    field.Reset();
    field.Update(0.02f);
    EXPECT_EQ(field.DisplayLevels()[3], 0.0);
}

TEST(SandHeightfield, FullModeStandsFlatAndFillsTheMeter)
{
    CSandHeightfield field = Field(10);
    field.SetFull(true, 0.5);
    field.QueueGrain(0.01f, 4, 2.0f);
    field.Update(0.02f); // drain off: the sand stays, the meter gains 0.1 x 2
    EXPECT_NEAR(field.Meter(), 0.7, 1e-7);
    EXPECT_EQ(field.Total(), 1.0);
    for (double level : field.Levels())
        EXPECT_EQ(level, 1.0);
    EXPECT_EQ(field.StateCode(), State::Quiet);

    field.draining = true;
    field.Update(2.0f);
    EXPECT_NEAR(field.Total(), 0.8, 1e-12);
    for (double level : field.DisplayLevels())
        EXPECT_NEAR(level, 0.8, 1e-12);

    field.QueueGrain(0.0f, 0, 5.0f);
    field.Update(0.01f);
    EXPECT_EQ(field.Meter(), 1.0);
    EXPECT_EQ(field.StateCode(), State::MeterFull);

    field.SetFull(true, 0.0);
    field.Update(20.0f);
    EXPECT_EQ(field.Total(), 0.0);
    EXPECT_EQ(field.StateCode(), State::Empty);
    field.SetFull(false, 0.0);
    EXPECT_FALSE(field.IsFull());
    EXPECT_EQ(field.Meter(), 0.0);
}

TEST(SandHeightfield, ColumnCountIsClampedAndEmptiesTheBox)
{
    struct Case {
        int asked, kept;
    };
    for (const Case& c : {Case{0, 2}, Case{1, 2}, Case{-5, 2}, Case{40, 40}, Case{5000, 1024}}) {
        const int kept = c.kept;
        CSandHeightfield field;
        field.Pour(0.2, 3);
        field.SetColumnCount(c.asked);
        EXPECT_EQ(field.ColumnCount(), kept);
        EXPECT_EQ(field.Levels().size(), static_cast<size_t>(kept));
        EXPECT_EQ(field.Total(), 0.0);
        field.Pour(0.5, 0.5); // and pours stay inside
        EXPECT_NEAR(field.Total(), 0.5, 1e-12);
    }
}
