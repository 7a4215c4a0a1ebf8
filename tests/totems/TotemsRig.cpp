#include "TotemsRig.h"

#include "StubBoard.h"
#include "totems/TotemBalance.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace totems_rig {

CountedHandle<CSoundManager> CountingSounds()
{
    auto sounds = MakeCountedHandle(new CSoundManager());
    sounds->initialised = 1;
    for (auto& slot : sounds->slots)
        slot = MakeCountedHandle(new CSoundSample(1, 1024));
    return sounds;
}

int Plays(const CSoundManager& sounds, const char* name) { return sounds.Sample(name)->ringIndex; }

Rig::Rig(bool draw, const std::string& config)
    : sprites(MakeCountedHandle(new CSpriteRenderer(null.device, null.vertices, null.indices))),
      particles(MakeCountedHandle(new CParticleSystemsManager(null.device, null.vertices, null.indices))),
      flares(MakeCountedHandle(new CFlareRenderer(null.device, null.vertices, null.indices))),
      sounds(CountingSounds())
{
    particles->Environment().killMin = Vec3{-2000, -2000, -2000};
    particles->Environment().killMax = Vec3{2000, 2000, 2000};
    if (draw)
        totems.SetRenderers(null.device, sprites, particles, flares, &balance);
    else
        totems.SetRenderers(null.device, {}, {}, {}, &balance);
    totems.LoadConfig(config);
    if (draw) {
        EXPECT_TRUE(totems.LoadTextures("Data\\Gfx\\"));
        std::array<CountedHandle<CTexture>, CTotemsManager::kSharedPictures> shared;
        shared[CTotemsManager::kHalo1] = null.device->LoadTexture("Data\\Gfx\\Halo1.tga", "Halo1", 0, 0,
                                                                  d3d::D3DPOOL_MANAGED, d3d::D3DFMT_UNKNOWN);
        for (auto [slot, file] :
             {std::pair{CTotemsManager::kShopColor, "ShopColor"}, std::pair{CTotemsManager::kShopMul, "ShopMul"},
              std::pair{CTotemsManager::kShopBW, "ShopBW"}})
            shared[slot] = null.device->LoadTexture(std::string("Data\\Gfx\\") + file + ".png", file, 0, 0,
                                                    d3d::D3DPOOL_MANAGED, d3d::D3DFMT_UNKNOWN);
        totems.SetTextures(shared);
    }
    totems.sounds = sounds;
}

Rig::~Rig() { SetTotemBalanceState(nullptr); }

void Rig::Run(float seconds, float dt)
{
    for (float t = 0; t < seconds - 1e-4f; t += dt) {
        const int made = totems.Update(dt);
        EXPECT_EQ(made, static_cast<int>(totems.Actions().size()));
        frames.push_back(made ? totems.Actions() : std::vector<TotemAction>());
        if (board && made)
            board->Apply(totems);
        sprites->Update(dt, 1);
        particles->Update(dt);
        flares->Update(dt);
    }
}

std::vector<std::vector<TotemAction>> Rig::TakeFrames()
{
    std::vector<std::vector<TotemAction>> taken;
    taken.swap(frames);
    return taken;
}

bool Rig::Holds(const CountedHandle<CSprite>& s) const
{
    return std::find(sprites->sprites.begin(), sprites->sprites.end(), s) != sprites->sprites.end() ||
           std::find(sprites->hiddenSprites.begin(), sprites->hiddenSprites.end(), s) !=
               sprites->hiddenSprites.end();
}

} // namespace totems_rig
