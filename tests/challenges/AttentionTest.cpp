// The Attention challenge on the real caps renderer: its rounds' swaps and
// times, the shuffle, clicks on the plates and the two ways a round ends.
#include "ChallengeRig.h"
#include "challenges/AttentionChallenge.h"

#include <cmath>
#include <memory>

using challenge_rig::kFrame;
using challenge_rig::Rig;

namespace {

class Attention : public Rig {
protected:
    void SetUp() override
    {
        Rig::SetUp();
        const BoardCells cells = challenge_rig::GameCells();
        attention.SetBoardGeometry(cells.origin.x, cells.origin.y, cells.origin.z, cells.cellWidth,
                                   cells.cellHeight);
        attention.CreatePlateSet(caps);
        attention.SetSoundManager(sounds);
    }
    // Plays a round to the choice; the seconds the shuffle took.
    float ShuffleRound(int group)
    {
        attention.StartRound(group);
        float t = 0.0f, shuffleStart = -1.0f;
        for (; t < 60.0f; t += kFrame) {
            const int r = attention.Update(kFrame);
            if (shuffleStart < 0.0f && attention.GetPhase() == CAttentionChallenge::kShuffling)
                shuffleStart = t;
            if (r == 109)
                break;
        }
        EXPECT_TRUE(attention.IsWaitingForPlayer());
        return t - shuffleStart;
    }
    int ClickPlate(int index, float dx = 0.0f, float dy = 0.0f)
    {
        const Vec3 p = attention.Plates()[static_cast<size_t>(index)]->Position();
        return attention.OnClick(p.x + dx, p.y + dy);
    }

    CAttentionChallenge attention;
};

} // namespace

TEST_F(Attention, RoundsGrowLongerAndFasterWithEveryRightAnswer)
{
    struct Case {
        int group, right, swaps;
        float swapTime, pause;
    };
    const Case cases[] = {
        {1, 0, 3, 0.75f, 0.25f},
        {2, 0, 3, 0.65f, 0.25f},
        {1, 8, 11, 0.75f * std::pow(0.85f, 8.0f), 0.25f * std::pow(0.85f, 8.0f)},
    };
    for (const Case& c : cases) {
        while (attention.RightAnswers() < c.right)
            attention.AddRightAnswer();
        const int drops = Plays("Drop.wav");
        const float shuffle = ShuffleRound(c.group);
        EXPECT_EQ(attention.Swaps(), c.swaps);
        EXPECT_NEAR(attention.SwapTime(), c.swapTime, 1e-5f);
        EXPECT_NEAR(attention.Pause(), c.pause, 1e-5f);
        // A "Drop.wav" when the plates land and one as each swap ends; then
        // the pause after the last swap.
        EXPECT_EQ(Plays("Drop.wav") - drops, 1 + c.swaps) << c.group << " " << c.right;
        // Each swap and pause may run up to a frame over.
        const float planned = static_cast<float>(c.swaps) * (c.swapTime + c.pause);
        EXPECT_GE(shuffle, planned - kFrame);
        EXPECT_LE(shuffle, planned + static_cast<float>(c.swaps + 2) * kFrame);
        attention.DismissPlates();
        Run(attention, 1.1f);
    }
}

TEST_F(Attention, TheTokenIsPlateOneAndTheShuffleEndsExactlyOnTheSlots)
{
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        plat::SeedRandom(seed);
        ShuffleRound(1 + static_cast<int>(seed % 2));
        const auto& plates = attention.Plates();
        ASSERT_EQ(plates.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(plates[static_cast<size_t>(i)]->IsEmpty(), i != 1) << seed;
        bool moved = false;
        for (int s = 0; s < 3; ++s) {
            const int index = attention.Order()[static_cast<size_t>(s)];
            const Vec3 at = plates[static_cast<size_t>(index)]->Position();
            const Vec3 slot = attention.SlotPoint(s);
            EXPECT_EQ(at.x, slot.x) << seed;
            EXPECT_EQ(at.y, slot.y) << seed;
            moved = moved || index != s;
            EXPECT_EQ(plates[static_cast<size_t>(index)]->ShownFrame(), 0); // covered
        }
        attention.DismissPlates();
        Run(attention, 1.1f);
    }
    // The slots stand on the board's column lines 2, 4 and 6, across row 3.
    EXPECT_FLOAT_EQ(attention.SlotPoint(0).x, challenge_rig::kLeft + 2 * challenge_rig::kCell);
    EXPECT_FLOAT_EQ(attention.SlotPoint(2).y, challenge_rig::kTop - 3.5f * challenge_rig::kCell);
}

TEST_F(Attention, AClickMustFallStrictlyWithinAPlate)
{
    ShuffleRound(1);
    struct Case {
        float dx, dy;
        int result;
    };
    for (const Case& c : {Case{42.0f, 0.0f, 100}, Case{0.0f, -42.0f, 100}, Case{41.9f, -41.9f, 101}}) {
        EXPECT_EQ(ClickPlate(0, c.dx, c.dy), c.result) << c.dx << " " << c.dy;
    }
    EXPECT_EQ(ClickPlate(1), 100); // chosen already
}

TEST_F(Attention, ARightChoiceWaitsForTheGameAndAWrongOneOpensTheOthersAndLeaves)
{
    ShuffleRound(1);
    ASSERT_EQ(ClickPlate(1), 101);
    EXPECT_EQ(attention.GetPhase(), CAttentionChallenge::kRevealing);
    EXPECT_EQ(Run(attention, 0.48f), std::vector<int>{});
    EXPECT_TRUE(RunUntil(attention, 101, 0.05f));
    EXPECT_TRUE(attention.ChoseRight());
    EXPECT_EQ(Run(attention, 2.0f), std::vector<int>{}); // the game dismisses the plates
    // The board shatters the token; the other two fly away.
    const CountedHandle<CPlate> token = attention.TakeTokenPlate();
    ASSERT_TRUE(token);
    EXPECT_TRUE(token->IsShowingPicture());
    EXPECT_FALSE(attention.TakeTokenPlate());
    EXPECT_EQ(caps->Caps().size(), 4u);
    attention.DismissPlates();
    EXPECT_EQ(Run(attention, 0.95f), std::vector<int>{});
    EXPECT_EQ(attention.Update(0.1f), 108);

    // Wrong: the chosen plate opens, then the other two together, and 0.5 s
    // after they are open all three leave on their own.
    ShuffleRound(1);
    ASSERT_EQ(ClickPlate(2), 101);
    const int clicks = Plays("BonusClick.wav");
    ASSERT_TRUE(RunUntil(attention, 101, 2.0f));
    EXPECT_FALSE(attention.ChoseRight());
    EXPECT_EQ(Plays("BonusClick.wav") - clicks, 1);
    EXPECT_EQ(attention.Plates()[0]->State(), kPlateOpening);
    EXPECT_EQ(attention.Plates()[1]->State(), kPlateOpening);
    EXPECT_FALSE(attention.TakeTokenPlate()); // not open yet
    Run(attention, 0.65f);
    EXPECT_TRUE(attention.Plates().empty());
    ASSERT_TRUE(RunUntil(attention, 108, 1.05f));
    EXPECT_TRUE(caps->Caps().empty());
}
