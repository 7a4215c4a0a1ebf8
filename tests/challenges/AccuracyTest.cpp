// The Accuracy challenge with a sprite renderer and a particle manager on the
// recording null device: launches, flights, catches, the bar's slots and the
// end of the challenge.
#include "ChallengeRig.h"
#include "challenges/AccuracyChallenge.h"

#include <algorithm>
#include <cmath>
#include <memory>

using challenge_rig::kFrame;
using challenge_rig::Rig;

namespace {

// The game's play area and the frenzy bar under the board.
constexpr float kAreaX = 512.0f, kAreaY = 200.0f, kAreaWidth = 640.0f, kAreaHeight = 500.0f;
constexpr float kTrayX = -130.5f, kTrayY = -346.5f, kSlot = 32.0f;

class Accuracy : public Rig {
protected:
    void SetUp() override
    {
        Rig::SetUp();
        sprites = MakeCountedHandle(new CSpriteRenderer(rig.device, rig.vertices, rig.indices));
        particles = MakeCountedHandle(new CParticleSystemsManager(rig.device, rig.vertices, rig.indices));
        accuracy = std::make_unique<CAccuracyChallenge>();
        accuracy->SetResources(AccuracyResources{sprites, particles, {}, {}});
        accuracy->SetArea(kAreaX, kAreaY, -1.0f, kAreaWidth, kAreaHeight, kTrayX, kTrayY, -1.0f, kSlot, kSlot, 19);
        accuracy->SetSoundManager(sounds);
    }
    // Runs until a new star has been launched and has flown a little.
    CAccuracyStar& NextStar()
    {
        const size_t before = accuracy->Stars().size();
        for (int i = 0; i < 200 && accuracy->Stars().size() <= before; ++i)
            accuracy->Update(kFrame);
        accuracy->Update(kFrame);
        return *accuracy->Stars().back();
    }
    int ClickOn(const CAccuracyStar& star, float dx = 0.0f)
    {
        return accuracy->OnClick(star.sprite->x + dx, star.sprite->y);
    }

    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> particles;
    std::unique_ptr<CAccuracyChallenge> accuracy;
};

} // namespace

TEST_F(Accuracy, StartSetsTheGroupsSpeedAndAStarASecond)
{
    EXPECT_EQ(accuracy->Update(5.0f), 100); // not started: nothing launches
    EXPECT_TRUE(accuracy->Stars().empty());
    EXPECT_EQ(accuracy->OnClick(0.0f, 0.0f), 100);

    for (int group : {1, 2}) {
        accuracy->Start(group);
        EXPECT_EQ(accuracy->GetState(), CAccuracyChallenge::kRunning);
        EXPECT_FLOAT_EQ(accuracy->StarSpeed(), group == 1 ? 175.0f : 275.0f);
        EXPECT_FLOAT_EQ(accuracy->LaunchInterval(), 1.0f);
    }
    // A star each second (on the update that passes the second), entering
    // just beyond the right edge and turning 70 to 100 % of the width left.
    std::vector<size_t> launched; // as sprites: a star that has left is still counted
    for (int second = 1; second <= 4; ++second) {
        Run(*accuracy, 1.0f, 0.05f);
        launched.push_back(sprites->sprites.size());
    }
    EXPECT_EQ(launched, (std::vector<size_t>{1, 2, 3, 4}));
    for (const CountedHandle<CAccuracyStar>& star : accuracy->Stars()) {
        EXPECT_FLOAT_EQ(star->xStart, kAreaX + 64.0f);
        const float half = star->duration / 2.0f;
        const float turn = star->xStart + star->xVelocity * half + star->xAcceleration * half * half;
        EXPECT_LE(turn, 64.0f + 0.01f);
        EXPECT_GE(turn, -128.0f - 0.01f);
        EXPECT_LE(star->yStart, kAreaY);
        EXPECT_GE(star->yStart, kAreaY - kAreaHeight);
        EXPECT_EQ(star->sprite->blended, 1);
        EXPECT_FLOAT_EQ(star->sprite->frames.data()[1], 0.75f); // the star's cell of the picture
    }
}

TEST_F(Accuracy, AClickCatchesTheOldestFreeStarWithinHalfItsWidth)
{
    accuracy->Start(1);
    CAccuracyStar& first = NextStar();
    EXPECT_EQ(ClickOn(first, 32.01f), 100);
    EXPECT_EQ(ClickOn(first, 31.99f), 101);
    EXPECT_EQ(first.state, CAccuracyStar::kFlyingToBar);
    EXPECT_EQ(Plays("Explode2.wav"), 1);
    EXPECT_EQ(ClickOn(first), 100); // caught already: not caught again
    EXPECT_EQ(accuracy->Caught(), 1);

    // A second star laid over a third: the older one is caught.
    CAccuracyStar& second = NextStar();
    CAccuracyStar& third = NextStar();
    third.xStart = second.sprite->x;
    third.xVelocity = third.xAcceleration = third.yVelocity = 0.0f;
    third.yStart = second.sprite->y;
    second.xVelocity = second.xAcceleration = second.yVelocity = 0.0f;
    second.xStart = second.sprite->x;
    second.yStart = second.sprite->y;
    accuracy->Update(kFrame);
    EXPECT_EQ(ClickOn(second), 101);
    EXPECT_EQ(second.state, CAccuracyStar::kFlyingToBar);
    EXPECT_EQ(third.state, CAccuracyStar::kFree);
}

TEST_F(Accuracy, CaughtStarsLandInTheBarsSlotsInHalfASecond)
{
    accuracy->Start(2);
    for (int n = 0; n < 3; ++n) {
        CAccuracyStar& star = NextStar();
        const float caughtAt = star.sprite->x;
        ASSERT_EQ(ClickOn(star), 101);
        Run(*accuracy, 0.25f);
        EXPECT_LT(star.sprite->width, 64.0f); // shrinking on the way
        EXPECT_GT(star.sprite->width, kSlot);
        EXPECT_NE(star.sprite->x, caughtAt);
        Run(*accuracy, 0.26f);
        ASSERT_EQ(star.state, CAccuracyStar::kInBar) << n;
        EXPECT_FLOAT_EQ(star.sprite->x, kTrayX + (static_cast<float>(n) + 0.5f) * kSlot);
        EXPECT_FLOAT_EQ(star.sprite->y, kTrayY - kSlot / 2.0f);
        EXPECT_FLOAT_EQ(star.sprite->width, kSlot);
        EXPECT_EQ(star.sprite->spinning, 0);
        EXPECT_FLOAT_EQ(star.sprite->angle, 0.0f);
        EXPECT_FALSE(star.trail);
    }
}

TEST_F(Accuracy, TheLastCatchEndsItAndReports107OnceTheLastStarHasLanded)
{
    accuracy->Start(1);
    for (int n = 0; n < 18; ++n)
        ASSERT_EQ(ClickOn(NextStar()), 101);
    Run(*accuracy, 1.0f);
    const size_t free = accuracy->Stars().size() - 18;
    ASSERT_GE(free, 1u);
    EXPECT_EQ(accuracy->GetState(), CAccuracyChallenge::kRunning);

    ASSERT_EQ(ClickOn(*accuracy->Stars().back()), 101); // the 19th
    EXPECT_EQ(accuracy->GetState(), CAccuracyChallenge::kOver);
    EXPECT_EQ(accuracy->OnClick(0.0f, 0.0f), 100);
    EXPECT_EQ(accuracy->Update(0.05f), 100);
    EXPECT_EQ(accuracy->Update(0.051f), 100); // the free stars have left...
    EXPECT_EQ(accuracy->Stars().size(), 19u);
    sprites->Update(kFrame, 0);
    EXPECT_EQ(sprites->sprites.size(), 19u); // ...and their sprites with them
    // The last caught one lands 0.5 s after its catch.
    EXPECT_EQ(Run(*accuracy, 0.38f), std::vector<int>{});
    EXPECT_EQ(accuracy->Update(kFrame), 107);
    EXPECT_EQ(accuracy->Update(kFrame), 107);
}

TEST_F(Accuracy, TimeOutSendsTheFreeStarsAwayAndAGoalBelowOneIsTheBarsCount)
{
    EXPECT_FALSE(accuracy->EndOnTimeOut()); // not running
    accuracy->Start(1);
    CAccuracyStar& star = NextStar();
    ASSERT_TRUE(accuracy->EndOnTimeOut());
    EXPECT_EQ(accuracy->GetState(), CAccuracyChallenge::kOver);
    EXPECT_FLOAT_EQ(star.xVelocity, (kAreaX + 64.0f - star.sprite->x) / 0.1f);
    EXPECT_FALSE(accuracy->EndOnTimeOut());
    EXPECT_EQ(accuracy->Update(0.11f), 107); // no caught star to wait for
    EXPECT_TRUE(accuracy->Stars().empty());

    for (auto [goal, expected] : {std::pair{0, 19}, {-3, 19}, {1, 1}, {12, 12}}) {
        accuracy->SetArea(kAreaX, kAreaY, 0.0f, kAreaWidth, kAreaHeight, kTrayX, kTrayY, 0.0f, kSlot, kSlot, goal);
        EXPECT_EQ(accuracy->Goal(), expected) << goal;
    }
}

TEST_F(Accuracy, ItsEndStopsTheTrailsAndEndsTheSprites)
{
    accuracy->Start(1);
    NextStar();
    ClickOn(NextStar());
    const CountedHandle<CParticleSystem> trail = accuracy->Stars().front()->trail;
    ASSERT_TRUE(trail);
    accuracy.reset();
    sprites->Update(kFrame, 0);
    particles->Update(kFrame);
    EXPECT_TRUE(sprites->sprites.empty());
    EXPECT_FALSE(trail->IsEmitting());
}
