// The Reaction challenge on the real caps renderer: the flashing and its
// speed, stops that catch and stops that miss, and its end.
#include "ChallengeRig.h"
#include "challenges/ReactionChallenge.h"

#include <cmath>
#include <memory>

using challenge_rig::kFrame;
using challenge_rig::Rig;

namespace {

class Reaction : public Rig {
protected:
    void SetUp() override
    {
        Rig::SetUp();
        const BoardCells cells = challenge_rig::GameCells();
        reaction.SetBoardGeometry(cells.origin.x, cells.origin.y, cells.origin.z, cells.cellWidth,
                                  cells.cellHeight);
        reaction.CreatePlateSet(caps);
        reaction.SetSoundManager(sounds);
        reaction.SetNeeded(12);
    }
    void StartAndLand(int group)
    {
        reaction.Start(group);
        Run(reaction, 1.05f);
        ASSERT_EQ(reaction.GetState(), CReactionChallenge::kRunning);
    }
    enum Which { kAny, kToken, kEmpty };
    // Runs until a plate of the kind starts to open; false when none does
    // within 100 s.
    bool UntilAPlateOpens(Which which)
    {
        for (int i = 0; i < 300 * 20; ++i) {
            const bool closed = reaction.GetStep() == CReactionChallenge::kClosed;
            reaction.Update(kFrame);
            if (closed && reaction.GetStep() == CReactionChallenge::kOpen &&
                (which == kAny || reaction.OpenPlate()->IsEmpty() == (which == kEmpty)))
                return true;
        }
        return false;
    }
    // A catch as the bonus level takes it: counted, and the plate shattered.
    void TakeCatch()
    {
        reaction.CountCatch();
        EXPECT_EQ(reaction.TakeCaughtPlates().size(), 1u);
    }

    CReactionChallenge reaction;
};

} // namespace

TEST_F(Reaction, PlatesOpenForLessTimeAndMoreOftenWithEveryCatch)
{
    for (int group : {1, 2}) {
        reaction.Start(group);
        EXPECT_FLOAT_EQ(reaction.OpenTime(), group == 1 ? 0.85f : 0.75f);
        EXPECT_FLOAT_EQ(reaction.Interval(), 0.25f);
        EXPECT_FLOAT_EQ(reaction.Penalty(), 5.0f);
        EXPECT_FLOAT_EQ(reaction.MissPause(), 3.0f);
    }
    EXPECT_EQ(reaction.Plates().size(), 18u);
    int tokens = 0;
    for (const CountedHandle<CPlate>& plate : reaction.Plates())
        tokens += plate->IsEmpty() ? 0 : 1;
    EXPECT_EQ(tokens, 12);
    for (int i = 0; i < 10; ++i)
        reaction.SpeedUp();
    EXPECT_NEAR(reaction.OpenTime(), 0.75f * std::pow(0.95f, 10.0f), 1e-5f);
    EXPECT_NEAR(reaction.Interval(), 0.25f * std::pow(0.98f, 10.0f), 1e-5f);

    // Flashing: a plate stays open for the open time, the next one opens
    // after the interval.
    StartAndLand(1);
    ASSERT_TRUE(UntilAPlateOpens(kToken));
    const CountedHandle<CPlate> open = reaction.OpenPlate();
    Run(reaction, 0.84f);
    ASSERT_TRUE(open->IsShowingPicture());
    // A token open in the flashing is no catch: the board gets no plate of it.
    EXPECT_TRUE(reaction.TakeCaughtPlates().empty());
    EXPECT_EQ(reaction.Plates().size(), 18u);
    EXPECT_EQ(reaction.OpenPlate(), open);
    Run(reaction, 0.02f);
    EXPECT_FALSE(reaction.OpenPlate());
    EXPECT_EQ(open->State(), kPlateClosing);
}

TEST_F(Reaction, NeverMoreThanThreeEmptyPlatesOpenInARow)
{
    int longest = 0;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        plat::SeedRandom(seed);
        StartAndLand(1);
        int streak = 0;
        for (int opened = 0; opened < 60; ++opened) {
            ASSERT_TRUE(UntilAPlateOpens(kAny)) << seed;
            streak = reaction.OpenPlate()->IsEmpty() ? streak + 1 : 0;
            longest = std::max(longest, streak);
            ASSERT_LE(streak, 3) << seed;
        }
        reaction.ClearPlates();
    }
    EXPECT_EQ(longest, 3); // the limit is reached, not merely respected
}

TEST_F(Reaction, AStopIsJudgedOnceThePlatesRest)
{
    StartAndLand(1);
    // Stopped while a token plate is still turning open: a catch, once it
    // has opened.
    ASSERT_TRUE(UntilAPlateOpens(kToken));
    ASSERT_EQ(reaction.OpenPlate()->State(), kPlateOpening);
    EXPECT_EQ(reaction.OnStop(), 100);
    EXPECT_EQ(reaction.GetState(), CReactionChallenge::kStopped);
    std::vector<int> results = Run(reaction, 0.1f);
    EXPECT_TRUE(results.empty());
    results = Run(reaction, 0.1f);
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results[0], 101);
    EXPECT_TRUE(reaction.OpenPlate()->IsShowingPicture());
    EXPECT_EQ(reaction.Update(kFrame), 101); // until the catch is taken
    TakeCatch();
    EXPECT_EQ(reaction.Caught(), 1);
    Run(reaction, 0.99f);
    EXPECT_EQ(reaction.GetState(), CReactionChallenge::kStopped);
    Run(reaction, 0.02f);
    ASSERT_EQ(reaction.GetState(), CReactionChallenge::kRunning);

    // Stopped between two plates (the caught one is gone, no other is open
    // yet): a miss. It costs the miss pause, then open plates close.
    EXPECT_EQ(reaction.OnStop(), 100);
    EXPECT_EQ(reaction.Update(kFrame), 102);
    reaction.TakeMiss();
    EXPECT_EQ(Plays("Wrong.wav"), 1);
    EXPECT_EQ(reaction.OnStop(), 100); // not flashing: nothing
    Run(reaction, 2.98f);
    EXPECT_EQ(reaction.GetState(), CReactionChallenge::kStopped);
    Run(reaction, 0.03f);
    EXPECT_EQ(reaction.GetState(), CReactionChallenge::kRunning);
    EXPECT_EQ(reaction.Caught(), 1);

    // Stopped on an empty plate: a miss too.
    ASSERT_TRUE(UntilAPlateOpens(kEmpty));
    reaction.OnStop();
    ASSERT_TRUE(RunUntil(reaction, 102, 0.5f));
}

TEST_F(Reaction, TheLastCatchSendsThePlatesAwayAndReports110)
{
    StartAndLand(1);
    for (int n = 0; n < 12; ++n) {
        ASSERT_TRUE(UntilAPlateOpens(kToken)) << n;
        reaction.OnStop();
        ASSERT_TRUE(RunUntil(reaction, 101, 0.5f)) << n;
        TakeCatch();
    }
    EXPECT_EQ(reaction.Caught(), 12); // each catch counted once
    EXPECT_EQ(reaction.Plates().size(), 6u);
    Run(reaction, 1.01f); // the catch pause
    EXPECT_EQ(reaction.GetState(), CReactionChallenge::kOver);
    EXPECT_TRUE(reaction.Plates().empty());
    EXPECT_EQ(Run(reaction, 0.98f), std::vector<int>{});
    EXPECT_TRUE(RunUntil(reaction, 110, 0.05f));
    EXPECT_TRUE(caps->Caps().empty());
}

TEST_F(Reaction, WithNoTokenLeftEmptyPlatesStillOpenAndWithNoPlateNoneDoes)
{
    reaction.SetNeeded(13); // more than the plates hold: it runs on
    StartAndLand(2);
    for (int n = 0; n < 12; ++n) {
        ASSERT_TRUE(UntilAPlateOpens(kToken)) << n;
        reaction.OnStop();
        ASSERT_TRUE(RunUntil(reaction, 101, 0.5f)) << n;
        TakeCatch();
    }
    Run(reaction, 1.01f);
    ASSERT_EQ(reaction.GetState(), CReactionChallenge::kRunning);
    for (int opened = 0; opened < 8; ++opened)
        ASSERT_TRUE(UntilAPlateOpens(kEmpty)) << opened;

    // Every plate gone while it flashes: nothing opens, a stop misses.
    reaction.DismissPlates();
    Run(reaction, 2.0f);
    EXPECT_FALSE(reaction.OpenPlate() && reaction.OpenPlate()->State() == kPlateOpening);
    reaction.OnStop();
    EXPECT_EQ(reaction.Update(kFrame), 102);
}

TEST_F(Reaction, TimeOutEndsItOnlyWhileItFlashes)
{
    reaction.Start(1);
    EXPECT_FALSE(reaction.EndOnTimeOut()); // falling in
    Run(reaction, 1.05f);
    ASSERT_TRUE(reaction.EndOnTimeOut());
    EXPECT_EQ(reaction.GetState(), CReactionChallenge::kOver);
    EXPECT_EQ(reaction.OnStop(), 100);
    EXPECT_EQ(Run(reaction, 0.98f), std::vector<int>{});
    EXPECT_TRUE(RunUntil(reaction, 110, 0.05f));
}
