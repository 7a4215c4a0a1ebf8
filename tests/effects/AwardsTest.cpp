// The Golden Star and life-lost awards on the null device: their timelines
// with the default settings, restarting, and what they leave behind.
#include "effects/overlays/Awards.h"

#include "effects/overlays/Popups.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/BitmapFont.h"
#include "engine/RenderTestSupport.h"
#include "engine/Sprite.h"
#include "engine/StringTable.h"
#include "engine/Text.h"
#include "platform/System.h"

#include <gtest/gtest.h>

namespace {

class Awards : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SeedRandom(5);
        particles->Environment().killMin = Vec3{-1000, -1000, -1000};
        particles->Environment().killMax = Vec3{1000, 1000, 1000};
        particles->Environment().view->eye.z = 10000.0f;
        LoadStrings("Data\\Txt\\Strings.txt");
        ScoreMessageSettings().Clear();
        font->header3f = 30.0f;
        popups.SetResources(sprites, texts, font, font, CountedHandle<CTexture>());
        star.SetResources(sprites, particles, &popups, Texture("BigStar"), Texture("StarParticle"),
                          Texture("Ring"));
        loss.SetResources(sprites, particles, &popups, Texture("Heart"), Texture("Spark"));
    }

    CountedHandle<CTexture> Texture(const char* name)
    {
        return rig.device->CreateTexture(name, 256, 256, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
    }
    // One frame of the game: the awards, then the shared services.
    int Frame(CStarAward& award, float dt)
    {
        const int result = award.Update(dt);
        Services(dt);
        return result;
    }
    int Frame(CLifeLostAward& award, float dt)
    {
        const int result = award.Update(dt);
        Services(dt);
        return result;
    }
    void Services(float dt)
    {
        popups.Update(dt);
        particles->Update(dt);
        sprites->Update(dt, 0);
    }
    // Runs frames of 0.05 s until `seconds` have passed since the start;
    // the tests look a frame before and after each moment the award keeps.
    template <class Award>
    int RunTo(Award& award, double seconds)
    {
        int result = 1;
        for (; elapsed + 1e-4 < seconds; elapsed += 0.05)
            result = Frame(award, 0.05f);
        return result;
    }

    NullRig rig;
    CountedHandle<CSpriteRenderer> sprites =
        MakeCountedHandle(new CSpriteRenderer(rig.device, rig.vertices, rig.indices));
    CountedHandle<CTextBatch> texts = MakeCountedHandle(new CTextBatch(rig.device, rig.vertices, rig.indices));
    CountedHandle<CParticleSystemsManager> particles =
        MakeCountedHandle(new CParticleSystemsManager(rig.device, rig.vertices, rig.indices));
    CountedHandle<CBitmapFont> font = MakeCountedHandle(new CBitmapFont(CountedHandle<CTexture>()));
    CPopupManager popups;
    CStarAward star;
    CLifeLostAward loss;
    double elapsed = 0.0;
};

} // namespace

TEST_F(Awards, TheStarRisesRingsShowsItsNoteAndEndsAfterFourSeconds)
{
    star.Start();
    EXPECT_TRUE(star.running);
    EXPECT_EQ(star.Glows().size(), 2u);
    EXPECT_EQ(Frame(star, 0.0f), 1); // no time, nothing made yet
    EXPECT_FALSE(star.Star());

    RunTo(star, 0.45);
    EXPECT_FALSE(star.Star());
    RunTo(star, 0.55);
    ASSERT_TRUE(star.Star());
    EXPECT_LT(star.Star()->y, star.settings.from.y + 30.0f); // just off

    RunTo(star, 1.45);
    EXPECT_TRUE(popups.Popups().empty());
    RunTo(star, 1.55);
    ASSERT_EQ(popups.Popups().size(), 1u); // the note
    EXPECT_EQ(popups.Popups()[0]->Texts()[0]->text, "You've got the Star!!!");
    EXPECT_FLOAT_EQ(star.Star()->y, star.settings.to.y);
    EXPECT_NEAR(star.Star()->width, 204.0f, 1e-3);
    EXPECT_NEAR(star.Star()->opacity, 1.0f, 1e-6);
    EXPECT_EQ(sprites->sprites.size(), 2u); // the star and its ring

    RunTo(star, 3.45);
    EXPECT_EQ(star.Glows().size(), 2u);
    RunTo(star, 3.55);
    EXPECT_TRUE(star.Glows().empty());
    EXPECT_EQ(RunTo(star, 3.95), 1);
    EXPECT_EQ(RunTo(star, 4.05), 0);
    EXPECT_FALSE(star.running);
    EXPECT_FALSE(star.Star());
    EXPECT_TRUE(sprites->sprites.empty()); // the ring ran out long ago
    EXPECT_EQ(star.Update(0.1f), 0);       // idle
}

TEST_F(Awards, StartingTheStarAgainClearsTheRunningOne)
{
    star.Start();
    RunTo(star, 1.75);
    ASSERT_TRUE(star.Star());
    const CountedHandle<CParticleSystem> oldGlow = star.Glows()[0];
    star.Start();
    EXPECT_FALSE(star.Star());
    EXPECT_EQ(star.Phase(), 0);
    EXPECT_EQ(star.Glows().size(), 2u);
    EXPECT_NE(star.Glows()[0], oldGlow);
    EXPECT_EQ(sprites->sprites.size(), 1u); // only the ring, on its own time
    Services(0.05f);
    EXPECT_FALSE(oldGlow->IsEmitting());
}

TEST_F(Awards, TheStarBringsItsPictureBackBeforeItIsShown)
{
    auto picture = rig.device->FindTexture("BigStar");
    picture->ReleaseD3DResource();
    star.Start();
    EXPECT_TRUE(picture->texture);
}

TEST_F(Awards, ALostHeartFliesWaitsAndBreaksAtOnePointNineSeconds)
{
    loss.Start(false, 0, 0, 0);
    ASSERT_EQ(popups.Popups().size(), 1u);
    EXPECT_EQ(popups.Popups()[0]->Texts()[0]->text, "Life lost");
    ASSERT_TRUE(loss.Heart() && loss.Trail());
    EXPECT_FLOAT_EQ(loss.Heart()->x, loss.settings.from.x);
    EXPECT_EQ(particles->BlendedSystems().size(), 1u);

    RunTo(loss, 0.5);
    EXPECT_GT(loss.Heart()->x, loss.settings.from.x);
    EXPECT_FLOAT_EQ(loss.Trail()->Position().x, loss.Heart()->x);
    EXPECT_GT(loss.Trail()->LiveCount(), 5);

    RunTo(loss, 0.95);
    EXPECT_FLOAT_EQ(loss.Heart()->x, loss.settings.to.x);
    EXPECT_NEAR(loss.Heart()->width, loss.settings.toSize.x, 1e-3);
    RunTo(loss, 1.85);
    EXPECT_TRUE(loss.Heart());
    RunTo(loss, 1.95);
    EXPECT_FALSE(loss.Heart());
    EXPECT_FALSE(loss.Trail());
    EXPECT_TRUE(sprites->sprites.empty());
    EXPECT_EQ(particles->BlendedSystems().size(), 3u); // the fading trail, the burst, the shards

    EXPECT_EQ(RunTo(loss, 2.85), 1);
    EXPECT_EQ(RunTo(loss, 2.95), 0);
    EXPECT_FALSE(loss.running);
}

TEST_F(Awards, ALostHeartCanStartWhereTheGameSaysAndRestartsCleanly)
{
    loss.Start(true, 100, 50, -50);
    EXPECT_FLOAT_EQ(loss.Heart()->x, 100);
    EXPECT_FLOAT_EQ(loss.Heart()->y, 50);
    const CountedHandle<CParticleSystem> oldTrail = loss.Trail();
    loss.Start(false, 0, 0, 0);
    Services(0.05f);
    EXPECT_FALSE(oldTrail->IsEmitting());
    EXPECT_EQ(sprites->sprites.size(), 1u);
    EXPECT_FLOAT_EQ(loss.Heart()->x, loss.settings.from.x);
    loss.Clear();
    EXPECT_TRUE(sprites->sprites.empty());
    EXPECT_FALSE(loss.running);
}
