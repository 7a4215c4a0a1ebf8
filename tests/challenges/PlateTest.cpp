// Plates and the plate set on the real caps renderer: the flip's frames on
// the two caps, moves, plates leaving the set, and the caps that go with them.
#include "ChallengeRig.h"
#include "challenges/PlateSet.h"

using challenge_rig::Rig;

namespace {

class Plates : public Rig {
protected:
    CPlateSet set{caps};
};

} // namespace

TEST_F(Plates, FlipShowsItsFramesOnTheTwoCapsAndReversesWhereItStands)
{
    CountedHandle<CPlate> plate = set.AddPlate(3, 10.0f, 20.0f, 0.0f, 0);
    ASSERT_EQ(caps->Caps().size(), 2u);
    const CCap& plateCap = *plate->PlateCap();
    const CCap& tokenCap = *plate->TokenCap();
    EXPECT_EQ(plateCap.type, 28);
    EXPECT_EQ(tokenCap.type, 23);
    for (const CCap* cap : {&plateCap, &tokenCap}) {
        EXPECT_FLOAT_EQ(cap->size, 42.0f);
        EXPECT_EQ(cap->hoverLight, 1);
        EXPECT_FLOAT_EQ(cap->x, 10.0f);
    }

    // Frames of 1/30 s: one flip frame each. Frames 0 and 1 are the plate's,
    // 2 to 4 the picture's; turned back half way, the flip runs back from
    // where it stands.
    struct Step {
        bool open;
        int frame, result;
    };
    const Step steps[] = {
        {true, 1, 0}, {true, 2, 0}, {true, 3, 0}, {false, 2, 0}, {false, 1, 0}, {false, 0, 1},
        {true, 1, 0}, {true, 2, 0}, {true, 3, 0}, {true, 4, 0},  {true, 4, 1}, // 4.9: open
    };
    bool opening = false;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        if (s.open != opening || i == 0) {
            plate->Flip(s.open);
            opening = s.open;
        }
        ASSERT_EQ(set.Update(1.0f / 30.0f), s.result) << i;
        EXPECT_EQ(plate->ShownFrame(), s.frame) << i;
        const bool picture = s.frame >= 2;
        EXPECT_EQ(plateCap.visible, picture ? 0 : 1) << i;
        EXPECT_EQ(tokenCap.visible, picture ? 1 : 0) << i;
        EXPECT_EQ(picture ? tokenCap.trackPosition : plateCap.trackPosition, picture ? s.frame - 2 : s.frame) << i;
        if (s.result) {
            EXPECT_EQ(set.Results()[0].code, kPlateFlipEnded);
            EXPECT_TRUE(plate->IsIdle());
        }
    }
    EXPECT_FLOAT_EQ(plate->FlipPosition(), 4.9f);
    EXPECT_TRUE(plate->IsShowingPicture());
}

TEST_F(Plates, AMoveTakesItsWholeTimeAndEndsOnItsTarget)
{
    CountedHandle<CPlate> plate = set.AddPlate(0, 0.0f, 0.0f, 0.0f, 0);
    plate->MoveTo(Vec3{100.0f, -50.0f, 4.0f}, kPlateArriving);
    EXPECT_EQ(set.Update(0.6f), 0);
    EXPECT_FLOAT_EQ(plate->Position().x, 60.0f); // x runs straight
    EXPECT_FLOAT_EQ(plate->PlateCap()->x, 60.0f);
    EXPECT_EQ(set.Update(0.6f), 1);
    EXPECT_EQ(set.Results()[0].code, kPlateMoveEnded);
    EXPECT_EQ(set.Results()[0].plate, plate);
    EXPECT_TRUE(plate->IsIdle());
    EXPECT_FLOAT_EQ(plate->Position().x, 100.0f);
    EXPECT_FLOAT_EQ(plate->Position().y, -50.0f);
    EXPECT_FLOAT_EQ(plate->TokenCap()->z, 4.0f);
}

TEST_F(Plates, ALeavingPlateLeavesInTheSameUpdateAndThePlateBehindItStillMoves)
{
    CountedHandle<CPlate> leaving = set.AddPlate(1, 0.0f, 0.0f, 0.0f, 0);
    CountedHandle<CPlate> opening = set.AddPlate(2, 100.0f, 0.0f, 0.0f, 0);
    CountedHandle<CPlate> arriving = set.AddPlate(7, 200.0f, 0.0f, 0.0f, 0);
    leaving->MoveTo(Vec3{0.0f, 800.0f, 0.0f}, kPlateLeaving);
    opening->Flip(true);
    arriving->MoveTo(Vec3{200.0f, -80.0f, 0.0f}, kPlateArriving);

    ASSERT_EQ(set.Update(1.0f), 3);
    EXPECT_EQ(set.Results()[0].code, kPlateRemoved);
    EXPECT_FALSE(set.Results()[0].plate);
    EXPECT_EQ(set.Results()[1].code, kPlateFlipEnded);
    EXPECT_EQ(set.Results()[2].code, kPlateMoveEnded);
    ASSERT_EQ(set.Plates().size(), 2u);
    EXPECT_EQ(set.Plates()[0], opening);
    EXPECT_EQ(caps->Caps().size(), 4u); // the leaving plate's caps went with it
    EXPECT_TRUE(set.AllIdle());
}

TEST_F(Plates, RemoveAndClearTakeThePlatesCapsOffTheBoard)
{
    EXPECT_EQ(set.Update(challenge_rig::kFrame), 0);
    EXPECT_TRUE(set.AllIdle());

    set.AddPlate(0, 0.0f, 0.0f, 0.0f, 0);
    CountedHandle<CPlate> second = set.AddPlate(5, 0.0f, 0.0f, 0.0f, 0);
    set.AddPlate(6, 0.0f, 0.0f, 0.0f, 0);
    CPlateSet other(caps);
    EXPECT_EQ(set.Remove(other.AddPlate(0, 0.0f, 0.0f, 0.0f, 0)), -1);
    EXPECT_EQ(set.Remove(CountedHandle<CPlate>()), -1);
    EXPECT_EQ(caps->Caps().size(), 8u);

    EXPECT_EQ(set.Remove(second), 1);
    EXPECT_EQ(set.Plates().size(), 2u);
    EXPECT_EQ(caps->Caps().size(), 6u);
    EXPECT_EQ(set.Remove(second), -1);

    set.Clear();
    EXPECT_TRUE(set.Empty());
    EXPECT_EQ(caps->Caps().size(), 2u); // the other set's plate
}
