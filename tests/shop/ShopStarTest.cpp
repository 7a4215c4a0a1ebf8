// The Golden Star alone on the null device: how long a flight takes and how
// its eight frames run, its size along the way, its end (also of a flight
// of no length), and what stays of it when it goes.
#include "shop/ShopStar.h"
#include "engine/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

struct StarRig : NullRig {
    StarRig()
        : sprites(MakeCountedHandle(new CSpriteRenderer(device, vertices, indices))),
          particles(MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices)))
    {}
    CountedHandle<CShopStar> Star() const
    {
        auto star = MakeCountedHandle(new CShopStar());
        star->SetResources(particles, sprites, {}, {}, {});
        star->SetTail(32.0f, 80.0f, 0xFFFFFF80);
        return star;
    }
    bool Drawn(const CountedHandle<CSprite>& sprite) const
    {
        return std::find(sprites->sprites.begin(), sprites->sprites.end(), sprite) != sprites->sprites.end();
    }
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> particles;
};

TEST(ShopStar, AFlightTurnsTheEightFramesWholeTimesAtAboutThirtyAFrame)
{
    struct Case {
        float distance, duration, frameRate;
    } cases[] = {{500, 0.2f, 40}, {2500, 1.0f, 32}, {100, 0.04f, 200}};
    StarRig rig;
    for (const Case& c : cases) {
        auto star = rig.Star();
        star->FlyToItem(0, 0, 0, c.distance * 0.6f, c.distance * 0.8f, 0, 2500.0f, 10);
        EXPECT_FLOAT_EQ(star->Duration(), c.duration) << c.distance;
        EXPECT_FLOAT_EQ(star->FrameRate(), c.frameRate) << c.distance;
        EXPECT_EQ(star->GetKind(), CShopStar::kToItem);
        ASSERT_TRUE(star->Sprite());
        EXPECT_EQ(star->Sprite()->frames.size(), 8u * 8u);
        EXPECT_EQ(star->Sprite()->zOrder, 9);
        ASSERT_TRUE(star->Tail());
    }
}

TEST(ShopStar, ItsSizeFollowsTheFlightAndItStandsAtItsEnd)
{
    struct Case {
        CShopStar::Kind kind;
        float halfway, end;
    } cases[] = {{CShopStar::kToItem, 35, 28}, {CShopStar::kToPanel, 35, 42}, {CShopStar::kFlyingBack, 42, 42}};
    StarRig rig;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        auto star = rig.Star();
        if (c.kind == CShopStar::kToItem)
            star->FlyToItem(-100, 50, -31, 400, 50, -31, 2500.0f, 0);
        else if (c.kind == CShopStar::kToPanel)
            star->FlyToPanel(-100, 50, -31, 400, 50, -31, 2500.0f, 0);
        else
            star->FlyBackToPanel(-100, 50, -31, 400, 50, -31, 2500.0f, 0);
        EXPECT_FALSE(star->Update(0.1f));
        EXPECT_FLOAT_EQ(star->Sprite()->width, c.halfway);
        EXPECT_FLOAT_EQ(star->Position().x, 150.0f);
        // A step past the end stands exactly at it, and says so every time.
        EXPECT_TRUE(star->Update(0.5f));
        EXPECT_EQ(star->Position().x, 400.0f);
        EXPECT_EQ(star->Sprite()->x, 400.0f);
        EXPECT_FLOAT_EQ(star->Sprite()->width, c.end);
        EXPECT_TRUE(star->Update(0.0f));
        EXPECT_EQ(star->Position().x, 400.0f);
    }
}

TEST(ShopStar, AFlightOfNoLengthEndsAtOnceWhereItIs)
{
    StarRig rig;
    auto star = rig.Star();
    star->FlyToPanel(12, 34, -31, 12, 34, -31, 2500.0f, 0);
    EXPECT_EQ(star->Duration(), 0.0f);
    EXPECT_TRUE(star->Update(1.0f / 60.0f));
    EXPECT_EQ(star->Position().x, 12.0f);
    EXPECT_EQ(star->Position().y, 34.0f);
    EXPECT_FALSE(std::isnan(star->Sprite()->width));
    EXPECT_FLOAT_EQ(star->Sprite()->width, 42.0f);
}

TEST(ShopStar, RestingStarsFadeMovingOnesDoNotAndAGoingStarLeavesItsTail)
{
    StarRig rig;
    auto resting = rig.Star();
    resting->PlaceOnItem(10, 20, -30, 5);
    EXPECT_EQ(resting->Sprite()->width, 28.0f);
    resting->Show(true, 2.0f);
    EXPECT_EQ(resting->Sprite()->opacity, 0.0f);
    EXPECT_EQ(resting->Sprite()->targetOpacity, 1.0f);
    resting->Show(false, 0.0f); // at once
    EXPECT_EQ(resting->Sprite()->opacity, 0.0f);
    EXPECT_EQ(resting->Sprite()->targetOpacity, 0.0f);

    auto flying = rig.Star();
    flying->FlyToItem(0, 0, 0, 300, 0, 0, 2500.0f, 5);
    flying->Show(false, 2.0f);
    EXPECT_EQ(flying->Sprite()->opacity, 1.0f);
    EXPECT_EQ(flying->Sprite()->targetOpacity, 1.0f);
    const CountedHandle<CSprite> sprite = flying->Sprite();
    const CountedHandle<CParticleSystem> tail = flying->Tail();
    ASSERT_TRUE(rig.Drawn(sprite));
    flying.Reset();
    EXPECT_FALSE(rig.Drawn(sprite));
    ASSERT_EQ(rig.particles->BlendedSystems().size(), 1u);
    EXPECT_EQ(rig.particles->BlendedSystems()[0], tail);
    rig.particles->Update(0.1f);
    EXPECT_FALSE(tail->IsEmitting());
}

} // namespace
