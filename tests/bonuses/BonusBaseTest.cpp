// The bonus base: the moves (start, end, bends, state), placing, following a
// falling token, and the look of a bonus in flight.
#include "BonusTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace bonus_test;

namespace {

// The base alone, with the kinds' way of ending a move: Place on landing.
class Plain : public CBonus {
public:
    int Update(float dt) override
    {
        if (state == kBonusFlyingIn || state == kBonusToTarget || state == kBonusFlyingOff)
            look = LookInFlight(AdvancePath(dt));
        if (MoveIsOver() && state == kBonusFlyingIn)
            Place(target.x, target.y, target.z, size, column, row);
        return CBonus::Update(dt);
    }
    FlightLook look;
};

void ExpectPoint(const Vec3& p, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
    EXPECT_FLOAT_EQ(p.z, z);
}

} // namespace

TEST(BonusBase, StartsWithoutACellAtTheOrigin)
{
    Plain b;
    EXPECT_EQ(b.column, -1);
    EXPECT_EQ(b.row, -1);
    ExpectPoint(b.position, 0, 0, 0);
    EXPECT_EQ(b.state, kBonusIdle);
    EXPECT_EQ(b.flightScale, 6.0f);
    EXPECT_EQ(b.Update(0.1f), 1);
}

// Each move: where it starts and ends, its bends and its state.
TEST(BonusBase, MovesTable)
{
    struct Case {
        const char* name;
        void (*start)(Plain&);
        int32_t state;
        Vec3 end;
        Vec3 startTangent, endTangent;
        float duration;
    };
    const Case cases[] = {
        {"FlyIn",
         [](Plain& b) { b.FlyIn(10, 20, 30, 38, 1, 2, 0, 0.5f); },
         kBonusFlyingIn,
         {10, 20, 30},
         {1, 1, 0},
         {1, 1, 5},
         0.5f},
        {"FlyToTarget",
         [](Plain& b) { b.FlyToTarget(0.25f); },
         kBonusToTarget,
         {-50, 60, 0},
         {1, 1, 5},
         {1, 1, 0},
         0.25f},
        {"FlyOff", [](Plain& b) { b.FlyOff(2.0f); }, kBonusFlyingOff, {-50, 60, 0}, {1, 3, 1}, {1, 0, 1}, 2.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Plain b;
        b.Place(5, 6, 0, 38, 0, 0);
        b.target = Vec3{-50, 60, 0};
        c.start(b);
        EXPECT_EQ(b.state, c.state);
        EXPECT_EQ(b.pathDuration, c.duration);
        const PathSegment& s = b.path.segments.front();
        if (c.state != kBonusFlyingIn)
            ExpectPoint(s.start, 5, 6, 0);
        ExpectPoint(s.end, c.end.x, c.end.y, c.end.z);
        ExpectPoint(s.startTangent, c.startTangent.x, c.startTangent.y, c.startTangent.z);
        ExpectPoint(s.endTangent, c.endTangent.x, c.endTangent.y, c.endTangent.z);
    }
    // A drop comes from straight above the screen, or with inPlace from
    // where the bonus is.
    Plain dropped;
    dropped.FlyIn(10, 20, 30, 38, 1, 2, 0, 0.5f);
    ExpectPoint(dropped.path.segments.front().start, 10, 440 + 38, 29);
    Plain inPlace;
    inPlace.position = Vec3{7, 8, 9};
    inPlace.FlyIn(10, 20, 30, 38, 1, 2, 1, 0.5f);
    ExpectPoint(inPlace.path.segments.front().start, 7, 8, 9);
    // Halfway a drop is halfway across and reaches its cell on time.
    inPlace.Update(0.25f);
    EXPECT_FLOAT_EQ(inPlace.position.x, 8.5f);
    inPlace.Update(0.25f);
    EXPECT_EQ(inPlace.state, kBonusPlaced);
    ExpectPoint(inPlace.position, 10, 20, 30);
    EXPECT_EQ(inPlace.column, 1);
    EXPECT_EQ(inPlace.row, 2);
}

// A move of no time (the shop and the totems pass their own) is over at
// once, where it was going.
TEST(BonusBase, AMoveOfNoTimeEndsAtOnce)
{
    for (float time : {0.0f, -1.0f, std::nanf("")}) {
        SCOPED_TRACE(time);
        Plain b;
        b.FlyIn(10, 20, 0, 38, 3, 4, 1, time);
        EXPECT_EQ(b.state, kBonusPlaced);
        ExpectPoint(b.position, 10, 20, 0);
        b.target = Vec3{100, 0, 0};
        b.FlyOff(time);
        ExpectPoint(b.position, 100, 0, 0);
        EXPECT_TRUE(std::isfinite(b.look.scale) && std::isfinite(b.look.opacity));
        EXPECT_EQ(b.look.scale, 6.0f);
    }
}

TEST(BonusBase, FollowingAToken)
{
    // Placed: it jumps, and stays placed.
    Plain placed;
    placed.Place(0, 0, 0, 38, 0, 0);
    placed.MoveTo(10, -80, 0, 0, 1, 0);
    ExpectPoint(placed.position, 10, -80, 0);
    EXPECT_EQ(placed.state, kBonusPlaced);
    EXPECT_EQ(placed.row, 1);
    // Dropping, with little time left: a smooth re-aim takes 0.1 s.
    Plain dropping;
    dropping.FlyIn(0, 0, 0, 38, 0, 0, 1, 0.5f);
    dropping.Update(0.45f);
    dropping.MoveTo(0, -80, 0, 0, 1, 1);
    EXPECT_FLOAT_EQ(dropping.pathDuration, 0.1f);
    EXPECT_EQ(dropping.pathTime, 0.0f);
    ExpectPoint(dropping.path.segments.front().end, 0, -80, 0);
    // With more left it keeps what is left; unsmoothed it keeps its start.
    Plain early;
    early.FlyIn(0, 0, 0, 38, 0, 0, 0, 0.5f);
    early.Update(0.2f);
    early.MoveTo(0, -80, 0, 0, 1, 1);
    EXPECT_NEAR(early.pathDuration, 0.3f, 1e-6);
    Plain steady;
    steady.FlyIn(0, 0, 0, 38, 0, 0, 0, 0.5f);
    steady.Update(0.2f);
    steady.MoveTo(0, -80, 0, 0, 1, 0);
    EXPECT_FLOAT_EQ(steady.pathTime, 0.2f);
    EXPECT_FLOAT_EQ(steady.pathDuration, 0.5f);
    ExpectPoint(steady.path.segments.front().start, 0, 440 + 38, -1);
    ExpectPoint(steady.path.segments.front().end, 0, -80, 0);
}

TEST(BonusBase, PlaceReportsOnlyWhenTheBoardAsks)
{
    Plain quiet;
    quiet.Place(12.5f, 0, -3.5f, 38, 0, 0);
    EXPECT_TRUE(quiet.events.Empty());
    EXPECT_EQ(quiet.zOrder, -4); // floor(z)
    Plain told;
    told.eventsEnabled = 1;
    told.Place(12.5f, 0, 0, 38, 0, 0);
    ASSERT_EQ(told.events.Size(), 1u);
    EXPECT_EQ(told.events.At(0).kind, kEventBonusPlaced);
    EXPECT_EQ(EventPosition(told.events.At(0)), 12.5f);
    EXPECT_FALSE(told.events.At(0).sender);
}

// Size and opacity of a bonus in flight by state and progress, with the
// base's flight scale 6 and opacity 0.
TEST(BonusBase, FlightLookTable)
{
    struct Case {
        int32_t state;
        float p, scale, opacity;
    };
    const Case cases[] = {
        {kBonusFlyingIn, 0.0f, 6.0f, 0.0f},     {kBonusFlyingIn, 0.25f, 4.75f, 0.5f},
        {kBonusFlyingIn, 0.75f, 2.25f, 1.0f},   {kBonusFlyingIn, 1.0f, 1.0f, 1.0f},
        {kBonusToTarget, 0.25f, 2.25f, 1.0f},   {kBonusToTarget, 0.75f, 4.75f, 0.5f},
        {kBonusFlyingOff, 0.0f, 0.1f, 0.0f},    {kBonusFlyingOff, 0.0625f, 0.46875f, 0.5f},
        {kBonusFlyingOff, 0.25f, 1.575f, 1.0f}, {kBonusFlyingOff, 1.0f, 6.0f, 0.0f},
        {kBonusPlaced, 0.5f, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << " at " << c.p);
        Plain b;
        b.target = Vec3{100, 0, 0};
        b.state = c.state;
        b.pathDuration = 1.0f;
        b.pathTime = c.p;
        b.path.Reset(Vec3{}, b.target, Vec3{1, 1, 1}, Vec3{1, 1, 1}, 1.0f);
        b.Update(0.0f);
        EXPECT_NEAR(b.look.scale, c.state == kBonusPlaced ? 1.0f : c.scale, 1e-5);
        EXPECT_NEAR(b.look.opacity, c.state == kBonusPlaced ? 1.0f : c.opacity, 1e-5);
    }
}
