// Particle effects drawn by the real frame renderer on GL (offscreen) and
// read back: sparks, darkening smoke, sand with dust, a bolt, a half-faded
// quad, and the particle layers around the first sprite layer, all in one
// frame after half a second of play.
#include "engine/DrawingFixture.h"

#include "effects/keepers/DustTrackKeeper.h"
#include "effects/keepers/SandKeeper.h"
#include "effects/particles/Collection2ParticleSystem.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "effects/particles/SparksParticleSystem.h"
#include "engine/Sprite.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace d3d;
using namespace drawing_test;

namespace {

int Brightness(uint32_t argb) { return Channel(argb, 16) + Channel(argb, 8) + Channel(argb, 0); }

class ParticleDrawing : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        plat::SeedRandom(1234);
        renderer->clearColor = 0x00201848; // indigo night
        for (int i = 0; i < 6; ++i) {
            managers[i] = MakeCountedHandle(
                new CParticleSystemsManager(device, renderer->vertexBuffer, renderer->indexBuffer));
            managers[i]->Environment().killMin = Vec3{-1000, -1000, -1000};
            managers[i]->Environment().killMax = Vec3{1000, 1000, 1000};
            managers[i]->Environment().view->eye.z = 10000.0f;
            renderer->particleLayers[i] = managers[i];
        }
        sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
        renderer->spriteLayers[0] = sprites;
    }
    void TearDown() override
    {
        for (auto& m : managers)
            m.Reset();
        sprites.Reset();
        Drawing::TearDown();
    }

    CountedHandle<CTexture> Texture(const char* file, const char* name, bool withAlpha)
    {
        const std::string path = std::string("Data\\Gfx\\") + file;
        auto texture = withAlpha ? device->LoadTextureForAlpha(path, name, 1, 0, D3DPOOL_MANAGED)
                                 : device->LoadTexture(path, name, 0, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
        EXPECT_TRUE(texture) << file;
        return texture;
    }

    // A flat quad of a colour at a place, shown until killed.
    CountedHandle<CParticleSystem> Quad(int layer, float x, float y, float w, float h, uint32_t colour, int blend,
                                        float alphaFactor = 1.0f)
    {
        std::vector<CCollectedParticle2> prepared(1);
        prepared[0].InitQuad(colour, x, y, 0, 0, 1.0f, w, h, 0);
        CCollection2Parametres p(x, y, 0, &prepared, {}, blend);
        p.alphaFactor = alphaFactor;
        return managers[layer - 1]->AddCollection2(&p, 1, {});
    }

    CountedHandle<CSprite> Sprite(float x, float y, float w, float h, uint32_t colour)
    {
        auto sprite = MakeCountedHandle(new CSprite(x, y, 0, w, h, colour, {}, 0));
        sprites->Add(sprite);
        return sprite;
    }

    // Half a second of play at 60 frames a second; the last frame is read.
    Frame Play()
    {
        Frame frame;
        for (int i = 0; i < 30; ++i) {
            for (auto& m : managers)
                m->Update(1.0f / 60.0f);
            EXPECT_EQ(renderer->RenderFrame(), D3D_OK);
            if (i == 29)
                frame = Grab();
            renderer->Present();
        }
        return frame;
    }

    // The brightest pixel of a box of the virtual screen (x0 < x1, y0 < y1).
    static uint32_t Brightest(const Frame& f, float x0, float y0, float x1, float y1)
    {
        uint32_t best = 0;
        for (int y = Py(y1); y <= Py(y0); ++y)
            for (int x = Px(x0); x <= Px(x1); ++x)
                if (Brightness(f.At(x, y)) > Brightness(best))
                    best = f.At(x, y);
        return best;
    }

    // How many pixels of a box differ from `colour` by more than `tolerance`.
    static int Differing(const Frame& f, float x0, float y0, float x1, float y1, uint32_t colour, int tolerance)
    {
        int n = 0;
        for (int y = Py(y1); y <= Py(y0); ++y)
            for (int x = Px(x0); x <= Px(x1); ++x)
                if (!Near(f.At(x, y), colour, tolerance))
                    ++n;
        return n;
    }

    CountedHandle<CParticleSystemsManager> managers[6];
    CountedHandle<CSpriteRenderer> sprites;
};

} // namespace

TEST_F(ParticleDrawing, EffectsReachTheScreenInTheirLayers)
{
    const uint32_t clear = renderer->clearColor;
    const CountedHandle<CTexture> cloud = Texture("Cloud.jpg", "Cloud", true);

    // Sparks fanned upwards from (-350, 60), additive, in layer 3.
    CSparksSpringParametres sparks(-350, 60, 0, 0, 260, 0, 1, 0, 0, 240, 0, 0xFFD080);
    sparks.width = 3.0f;
    sparks.lengthFactor = 0.06f;
    sparks.maxLength = 26.0f;
    sparks.rate = 160.0f;
    sparks.duration = 100.0f;
    sparks.fadeRate = 0.9f;
    auto fan = managers[2]->AddSparks(&sparks, 200, Texture("Spark.bmp", "Spark", false));
    static_cast<CSparksParticleSystem*>(fan.Get())->gravityFactor = 20.0f;

    // Darkening smoke over a light sprite: sprite layer 1, particle layer 4.
    Sprite(300, 170, 240, 170, 0xFFE8DCC8);
    CSmokesSpringParametres smoke(300, 170, 0, 0, 1, 0, 1, 0, 0, 20, 20, 0.6f, 0.6f, 0xA0A0A0, kSmokeDarken);
    smoke.speed = 25.0f;
    smoke.speedSpread = 8.0f;
    smoke.size = 70.0f;
    smoke.sizeSpread = 10.0f;
    smoke.growth = 30.0f;
    smoke.growthSpread = 5.0f;
    smoke.rise = 10.0f;
    smoke.riseSpread = 3.0f;
    smoke.fadeRate = 0.4f;
    smoke.fadeSpread = 0.1f;
    smoke.rate = 24.0f;
    managers[3]->AddSmokes(&smoke, 40, cloud);

    // A sand burst with its dust in layer 2, sinking into a ground line.
    const float ground = -250.0f;
    auto sandKeeper = MakeCountedHandle(new CSandKeeper());
    sandKeeper->width = sandKeeper->height = 44.0f;
    sandKeeper->burstCount = 14;
    sandKeeper->rate = 40.0f;
    sandKeeper->speed = 160.0f;
    sandKeeper->speedSpread = 60.0f;
    sandKeeper->gravity = 700.0f;
    sandKeeper->groundLine = ground;
    CCollection2Parametres sandParams(-300, -130, 0, nullptr, sandKeeper, kCollectionAlphaBlend);
    sandParams.keeperFlag = true;
    auto sand = managers[1]->AddCollection2(&sandParams, 120, Texture("Sand.jpg", "Sand", true));
    auto dustKeeper = MakeCountedHandle(new CDustTrackKeeper(*sandKeeper, sand));
    dustKeeper->rate = 3.0f;
    CCollection2Parametres dustParams(-300, -130, 0, nullptr, dustKeeper, kCollectionAlphaBlend);
    dustParams.keeperFlag = true;
    managers[1]->AddCollection2(&dustParams, 200, cloud);

    // A straight bolt in layer 5.
    CThunderboltParametres bolt(120, -220, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 460, -220, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0,
                                8, 2, 0xD0D0FF);
    bolt.particleSize = 28.0f;
    managers[4]->AddThunderbolt(&bolt, 18, Texture("Lightning.jpg", "Lightning", false));

    // A red quad at alpha factor 0.5 in layer 6, over the clear colour.
    Quad(6, 0, 300, 60, 40, 0xFF0000, kCollectionAlphaBlend, 0.5f);

    // An opaque sprite with a grey additive quad under it (layer 1) on its
    // left and over it (layer 4) on its right.
    Sprite(0, 0, 160, 100, 0xFF205060);
    Quad(1, -80, 0, 120, 60, 0x808080, kCollectionAdditive);
    Quad(4, 80, 0, 120, 60, 0x808080, kCollectionAdditive);

    const Frame frame = Play();
    ASSERT_EQ(frame.width, 1024);

    // The sparks light pixels above their emitter.
    EXPECT_GT(Brightness(Brightest(frame, -450, 90, -250, 240)), Brightness(clear) + 200);

    // The smoke darkens the middle of the light sprite, not its far corner.
    const uint32_t smoked = frame.At(Px(300), Py(180));
    EXPECT_LT(Brightness(smoked), Brightness(0xE8DCC8) - 90);
    EXPECT_TRUE(Near(frame.At(Px(185), Py(90)), 0xE8DCC8, 3));

    // Sand with dust shows above the ground line and nothing below the dust
    // floor just under it.
    EXPECT_GT(Differing(frame, -500, ground, -100, ground + 200, clear, 10), 500);
    const float dustFloor = ground + dustKeeper->floorOffset;
    EXPECT_EQ(Differing(frame, -500, -383, -100, dustFloor - 4, clear, 6), 0);

    // The bolt lights its line and leaves the sky 40 pixels off it alone.
    EXPECT_GT(Brightness(frame.At(Px(290), Py(-220))), Brightness(clear) + 300);
    EXPECT_TRUE(Near(frame.At(Px(290), Py(-180)), clear, 3));
    EXPECT_TRUE(Near(frame.At(Px(290), Py(-260)), clear, 3));

    // Half red over the clear colour (alpha byte 128).
    const auto half = [&](int shift, int red) {
        return static_cast<uint32_t>((red * 128 + Channel(clear, shift) * 127 + 127) / 255) << shift;
    };
    EXPECT_TRUE(Near(frame.At(Px(0), Py(300)), half(16, 255) | half(8, 0) | half(0, 0), 3));

    // Layer 1 lies under the sprite of sprite layer 1, layer 4 over it.
    EXPECT_TRUE(Near(frame.At(Px(-40), Py(0)), 0x205060, 3));
    EXPECT_TRUE(Near(frame.At(Px(40), Py(0)), 0xA0D0E0, 3));
    EXPECT_TRUE(Near(frame.At(Px(-120), Py(0)), 0xA098C8, 3)); // layer 1 beside the sprite
}
